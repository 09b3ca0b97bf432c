#pragma once
// The main window's view of a test game on a headless platform whose dialogs are recorded; the
// process state is fresh before every test and again after it.
#include <gtest/gtest.h>

#include <memory>

#include "app/view.h"
#include "platform/platform.h"
#include "support/recording_dialogs.h"
#include "support/test_support.h"

namespace nova::test {

template <class Game>
class ViewFixture : public testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    platform = std::make_unique<THeadlessPlatform>();
    platform->SetDialogs(std::make_unique<RecordingDialogs>());
  }
  void TearDown() override {
    view.reset();
    ResetRunState();
  }
  // The view of the game, created.
  TFormView& Make(TStartupInfo info = {}) {
    view = std::make_unique<TFormView>(*platform, game, std::move(info));
    view->Create();
    return *view;
  }
  THeadlessWindow& Window() { return dynamic_cast<THeadlessWindow&>(view->Window()); }
  void Key(InputKind kind, int code, bool repeat = false, bool alt = false) {
    TInputEvent e;
    e.Kind = kind, e.Key = code, e.Repeat = repeat, e.Alt = alt;
    view->HandleEvent(e);
  }

  std::unique_ptr<THeadlessPlatform> platform;
  Game game;  // outlives the view
  std::unique_ptr<TFormView> view;
};

}  // namespace nova::test
