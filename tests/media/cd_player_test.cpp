// The CD player's play list, completion handling and status timer on a scripted device, and
// the names of ripped tracks.
#include <gtest/gtest.h>

#include "media/cd_player.h"
#include "support/test_support.h"

namespace nova {
namespace {

// A device with a disc of given track lengths; it records what it was asked.
class TFakeCdDevice : public TCdAudioDevice {
public:
  std::vector<int> Lengths;  // seconds, track 1 first
  bool Inserted = true;
  std::vector<std::pair<uint32_t, uint32_t>> Plays;
  std::vector<uint32_t> Seeks;
  TCdMode CurrentMode = TCdMode::Stopped;
  uint32_t At = 0;
  bool Completed = false;
  int Left = 40000, Right = 30000;

  bool Open(const std::string&) override { return open_ = true; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  bool Ready() override { return Inserted; }
  int TrackCount() override { return Inserted ? static_cast<int>(Lengths.size()) : 0; }
  int TrackLengthSeconds(int t) override {
    return t >= 1 && t <= static_cast<int>(Lengths.size()) ? Lengths[static_cast<size_t>(t - 1)] : -1;
  }
  TCdMode Mode() override { return CurrentMode; }
  uint32_t Position() override { return At; }
  bool Play(uint32_t from, uint32_t to) override {
    Plays.emplace_back(from, to);
    CurrentMode = TCdMode::Playing;
    At = from;
    return true;
  }
  void Seek(uint32_t p) override {
    Seeks.push_back(p);
    CurrentMode = TCdMode::Stopped;
    At = p;
  }
  void Stop() override { CurrentMode = TCdMode::Stopped; }
  bool TakeCompletion() override {
    bool c = Completed;
    Completed = false;
    return c;
  }
  void GetLine(int& l, int& r) override { l = Left, r = Right; }
  void SetLine(int l, int r) override { Left = l, Right = r; }

private:
  bool open_ = false;
};

class CdPlayerTest : public testing::Test {
protected:
  void SetUp() override {
    auto device = std::make_unique<TFakeCdDevice>();
    device_ = device.get();
    device_->Lengths = {60, 200, 90};
    player_ = std::make_unique<TCDP>(std::move(device), std::vector<std::string>{"/games/cd"}, [this] { return now_; });
  }
  TFakeCdDevice* device_;
  std::unique_ptr<TCDP> player_;
  uint32_t now_ = 0;
};

TEST_F(CdPlayerTest, WithoutADeviceEverythingIsZero) {
  EXPECT_EQ(player_->Mode(), TCDP::kNotReady);
  EXPECT_EQ(player_->TrackCount(), 0);
  EXPECT_EQ(player_->TrackLength(2), 0);
  EXPECT_EQ(player_->Position(), 0u);
  player_->PlayList = {2};
  player_->PlayEntry(0);
  player_->PlayAt(2, 10);
  EXPECT_TRUE(device_->Plays.empty());
  EXPECT_FALSE(player_->Open(5));
}

TEST_F(CdPlayerTest, PlaysToTheLastWholeSecondOfTheTrack) {
  ASSERT_TRUE(player_->Open(0));
  EXPECT_TRUE(player_->TimerEnabled());
  player_->PlayList = {2};
  player_->PlayEntry(0);
  ASSERT_EQ(device_->Plays.size(), 1u);
  EXPECT_EQ(device_->Plays[0].first, MakeTmsf(2, 0, 0, 0));
  EXPECT_EQ(device_->Plays[0].second, MakeTmsf(2, 3, 19, 0));  // 200 s: to 3:19
  EXPECT_EQ(player_->Mode(), TCDP::kPlaying);
  player_->PlayAt(2, 75);
  EXPECT_EQ(device_->Plays[1].first, MakeTmsf(2, 1, 15, 0));
}

TEST_F(CdPlayerTest, CompletionRewindsOrRepeats) {
  ASSERT_TRUE(player_->Open(0));
  player_->PlayList = {2};
  player_->PlayEntry(0);
  // Repeat off: the player seeks back to the start of the track and stays stopped.
  device_->Completed = true;
  player_->Update();
  ASSERT_EQ(device_->Seeks.size(), 1u);
  EXPECT_EQ(device_->Seeks[0], MakeTmsf(2, 0, 0, 0));
  EXPECT_EQ(player_->Mode(), TCDP::kStopped);
  EXPECT_EQ(device_->Plays.size(), 1u);
  // Repeat on: it seeks to the first entry and plays it again from its start.
  player_->RepeatPlay = true;
  player_->PlayEntry(0);
  device_->Completed = true;
  player_->Update();
  EXPECT_EQ(device_->Plays.size(), 3u);
  EXPECT_EQ(device_->Plays.back().first, MakeTmsf(2, 0, 0, 0));
  EXPECT_EQ(player_->Mode(), TCDP::kPlaying);
  // A longer list goes on to the next entry.
  player_->PlayList = {1, 3};
  player_->PlayEntry(0);
  device_->Completed = true;
  player_->Update();
  EXPECT_EQ(TmsfTrack(device_->Plays.back().first), 3);
  EXPECT_EQ(player_->CurrentIndex(), 1);
}

TEST_F(CdPlayerTest, StatusTimerNoticesDiscs) {
  ASSERT_TRUE(player_->Open(0));
  int inserted = 0, removed = 0;
  player_->OnCDInsert = [&] { ++inserted; };
  player_->OnCDExit = [&] { ++removed; };
  // Six ticks of 200 ms pass before a disc is taken as inserted.
  now_ = 1000;
  player_->Update();
  EXPECT_EQ(inserted, 0);
  now_ = 1200;
  player_->Update();
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(player_->PlayList, (std::vector<int>{1, 2, 3}));
  device_->Inserted = false;
  now_ = 1400;
  player_->Update();
  EXPECT_EQ(removed, 1);
  EXPECT_TRUE(player_->PlayList.empty());
  player_->Close();
  EXPECT_FALSE(player_->TimerEnabled());
  EXPECT_EQ(player_->Mode(), TCDP::kNotReady);
}

TEST_F(CdPlayerTest, PauseAndTheModeCodes) {
  ASSERT_TRUE(player_->Open(0));
  struct Case {
    TCdMode mode;
    int code;
  } cases[] = {{TCdMode::Playing, 0}, {TCdMode::Stopped, 1}, {TCdMode::Seeking, 3}, {TCdMode::Open, 5}, {TCdMode::Other, 4}};
  for (const Case& c : cases) {
    device_->CurrentMode = c.mode;
    EXPECT_EQ(player_->Mode(), c.code);
  }
}

TEST(RippedTracks, NamesAndFolders) {
  EXPECT_EQ(RippedTrackStems(2), (std::vector<std::string>{"track02", "track 02", "track_02", "track-02", "02", "track2", "2"}));
  test::TempDir dir;
  test::WriteFile(dir / "Music/Track 02.FLAC", "x");
  test::WriteFile(dir / "Music/2.ogg", "x");  // a later name in the order
  test::WriteFile(dir / "Music/track03.txt", "x");
  test::WriteFile(dir / "12.wav", "x");
  auto folders = RippedTrackFolders(dir.Path());
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[1].filename(), "Music");
  EXPECT_EQ(FindRippedTrack(folders[1], 2).filename(), "Track 02.FLAC");
  EXPECT_TRUE(FindRippedTrack(folders[1], 3).empty());
  EXPECT_EQ(FindRippedTrack(folders[0], 12).filename(), "12.wav");
  EXPECT_TRUE(FindRippedTrack(folders[0], 1).empty());
}

}  // namespace
}  // namespace nova
