#include "platform/sdl/alsa_midi.h"

#if defined(NOVA_HAVE_ALSA)
#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace nova {

#if defined(NOVA_HAVE_ALSA)
namespace {

// The tick of an external port, which plays in no stream of ours: a thread of its own on the
// steady clock, at the best priority SDL can get for it (time-critical where the system
// allows it, else high), so other work delays it as little as the system lets it.
class TThreadTickSource : public TMidiTickSource {
public:
  ~TThreadTickSource() override { Stop(); }
  void SetTick(std::function<void()> tick, int periodMs) override {
    Stop();
    if (!tick) return;
    tick_ = std::move(tick);
    period_ = std::chrono::milliseconds(std::max(1, periodMs));
    stop_ = false;
    thread_ = std::thread([this] { Loop(); });
  }
  uint32_t NowMs() override {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }

private:
  void Stop() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Loop() {
    if (SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL) != 0) SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      next += period_;
      if (wake_.wait_until(lock, next, [this] { return stop_; })) return;
      auto now = std::chrono::steady_clock::now();
      if (now - next > std::chrono::milliseconds(100)) next = now;  // fell behind: no burst
      lock.unlock();
      tick_();
      lock.lock();
    }
  }
  std::function<void()> tick_;
  std::chrono::milliseconds period_{10};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

snd_seq_t* OpenSequencer() {
  snd_seq_t* seq = nullptr;
  snd_lib_error_set_handler(QuietAlsa);  // a machine without a sequencer is no error
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) return nullptr;
  snd_seq_set_client_name(seq, "novaplayer");
  return seq;
}

class TAlsaMidiOutput : public TMidiOutput {
public:
  TAlsaMidiOutput(snd_seq_t* seq, int ownPort, const TAlsaPort& to) : seq_(seq), port_(ownPort), to_(to) {}
  ~TAlsaMidiOutput() override {
    ticks_.SetTick(nullptr, 0);  // no tick sends on the handle once it is closed
    snd_seq_close(seq_);
  }

  void SendShort(uint32_t m) override {
    snd_seq_event_t ev;
    Prepare(ev);
    int status = m & 0xFF, d1 = (m >> 8) & 0x7F, d2 = (m >> 16) & 0x7F, ch = status & 0x0F;
    switch (status & 0xF0) {
      case 0x80: snd_seq_ev_set_noteoff(&ev, ch, d1, d2); break;
      case 0x90: snd_seq_ev_set_noteon(&ev, ch, d1, d2); break;
      case 0xA0: snd_seq_ev_set_keypress(&ev, ch, d1, d2); break;
      case 0xB0: snd_seq_ev_set_controller(&ev, ch, d1, d2); break;
      case 0xC0: snd_seq_ev_set_pgmchange(&ev, ch, d1); break;
      case 0xD0: snd_seq_ev_set_chanpress(&ev, ch, d1); break;
      case 0xE0: snd_seq_ev_set_pitchbend(&ev, ch, (d1 | d2 << 7) - 8192); break;
      default: return;
    }
    snd_seq_event_output_direct(seq_, &ev);
  }

  void SendLong(const std::vector<uint8_t>& bytes) override {
    snd_seq_event_t ev;
    Prepare(ev);
    snd_seq_ev_set_sysex(&ev, static_cast<unsigned>(bytes.size()), const_cast<uint8_t*>(bytes.data()));
    snd_seq_event_output_direct(seq_, &ev);
  }

  TMidiTickSource* TickSource() override { return &ticks_; }

  void Reset() override {
    for (int ch = 0; ch < 16; ++ch) {
      SendShort(static_cast<uint32_t>(0xB0 | ch) | 123 << 8);  // all notes off
      SendShort(static_cast<uint32_t>(0xB0 | ch) | 121 << 8);  // reset controllers
    }
  }

private:
  void Prepare(snd_seq_event_t& ev) {
    snd_seq_ev_clear(&ev);
    snd_seq_ev_set_source(&ev, port_);
    snd_seq_ev_set_dest(&ev, to_.Client, to_.Port);
    snd_seq_ev_set_direct(&ev);
  }
  snd_seq_t* seq_;
  int port_;
  TAlsaPort to_;
  TThreadTickSource ticks_;
};

}  // namespace

std::vector<TAlsaPort> ListAlsaMidiPorts() {
  std::vector<TAlsaPort> ports;
  snd_seq_t* seq = OpenSequencer();
  if (!seq) return ports;
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  int self = snd_seq_client_id(seq);
  while (snd_seq_query_next_client(seq, client) >= 0) {
    int id = snd_seq_client_info_get_client(client);
    if (id == 0 || id == self) continue;  // the system client, ourselves
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0) {
      unsigned caps = snd_seq_port_info_get_capability(port);
      if ((caps & (SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE)) !=
          (SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE))
        continue;
      ports.push_back(TAlsaPort{id, snd_seq_port_info_get_port(port),
                                std::string(snd_seq_client_info_get_name(client)) + ":" +
                                    snd_seq_port_info_get_name(port)});
    }
  }
  snd_seq_close(seq);
  return ports;
}

std::unique_ptr<TMidiOutput> OpenAlsaMidi(const TAlsaPort& to) {
  snd_seq_t* seq = OpenSequencer();
  if (!seq) return nullptr;
  int own = snd_seq_create_simple_port(seq, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                       SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (own < 0 || snd_seq_connect_to(seq, own, to.Client, to.Port) < 0) {
    snd_seq_close(seq);
    return nullptr;
  }
  return std::make_unique<TAlsaMidiOutput>(seq, own, to);
}

#else

std::vector<TAlsaPort> ListAlsaMidiPorts() { return {}; }
std::unique_ptr<TMidiOutput> OpenAlsaMidi(const TAlsaPort&) { return nullptr; }

#endif

}  // namespace nova
