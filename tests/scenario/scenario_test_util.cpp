#include "scenario_test_util.h"

#include <gtest/gtest.h>

namespace nova::test {

Machine::Machine() {
  SetQuitting(false);
  FrameClock() = TFrameClock{};
  store = std::make_unique<TParamCollection>();
  funcs = std::make_unique<TSysFuncMan>(*store);
  cm = std::make_unique<TCallMan>(*store, *funcs, scene, host);
  cm->SetTraceSink([this](const std::string& line) { trace.push_back(SjisToUtf8(line)); });
}

Machine::~Machine() {
  cm.reset();
  SetQuitting(false);
}

TNovaObject* Machine::AddObject(const std::string& name) {
  TNovaObject* object = scene.Make<TNovaComponent>();
  object->SetName(name);
  return object;
}

TEventSender Machine::Sender(const std::string& name) {
  TNovaObject* object = scene.FindObject(name);
  return TEventSender(object ? object : AddObject(name));
}

void Machine::Frame(uint32_t deltaMs) {
  FrameClock().LastDelta = deltaMs;
  FrameClock().Total += deltaMs;
  ++FrameClock().FrameCount;
  cm->Run();
}

int32_t Machine::Int(const std::string& name) {
  TParamCollectionItem* item = store->FindParam(Utf8ToSjis(name));
  EXPECT_NE(item, nullptr) << name;
  return item ? item->Param->GetAsInt() : INT32_MIN;
}

std::string Machine::Str(const std::string& name) {
  TParamCollectionItem* item = store->FindParam(Utf8ToSjis(name));
  EXPECT_NE(item, nullptr) << name;
  return item ? SjisToUtf8(item->Param->GetAsStr()) : std::string("<none>");
}

bool Machine::Has(const std::string& name) { return store->FindParam(Utf8ToSjis(name)) != nullptr; }

}  // namespace nova::test
