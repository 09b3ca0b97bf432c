#pragma once
// The scene (TNovaBaseList): two screens, the registry of every object by name, the deletion
// list, the event queue, the key focus and the keyboard state. Once per frame it processes the
// input (key focus and events, mouse dispatch on the displayed screen), updates every object
// and paints the dirty rectangles of its screens.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "objects/event_queue.h"
#include "objects/input_state.h"
#include "objects/nova_control.h"
#include "objects/object_factory.h"
#include "objects/screen.h"
#include "render/wipes.h"

namespace nova {

class TCustomDIBX;

class TNovaBaseList : public TNovaComponent {
public:
  TNovaBaseList();
  ~TNovaBaseList() override;

  // ---- screens and size ----
  TNovaBase& GetScreen(int i) const { return *screens_[static_cast<size_t>(i & 1)]; }
  int DisplayedIndex() const { return displayed_; }
  TNovaBase& Displayed() const { return GetScreen(displayed_); }
  TNovaBase& BackScreen() const { return GetScreen(displayed_ ^ 1); }
  int32_t ScreenWidth() const { return width_; }
  int32_t ScreenHeight() const { return height_; }
  void SetSize(int32_t width, int32_t height);
  // The depth of the screens' surfaces (the back surface's; 32 without a screen manager).
  void SetBitCount(int bits);
  int BitCount() const { return bits_; }
  // The surface the displayed screen paints into while no transition runs (the game's frame
  // buffer); null: the displayed screen paints into its own surface. A running transition
  // ends when the surface changes.
  void SetBackSurface(TCustomDIBX* back);
  TCustomDIBX* BackSurface() const { return back_; }

  // ---- registry ----
  // Takes the object, registers it and, when it wants one, gives it the first free name
  // "object" + counter. Controls start parentless (the caller gives them a parent).
  template <class T>
  T* Add(std::unique_ptr<T> object) {
    T* raw = object.get();
    AddObject(std::move(object));
    return raw;
  }
  // Constructs an object of class T in this scene and registers it.
  template <class T, class... Args>
  T* Make(Args&&... args) {
    return Add(std::make_unique<T>(this, std::forward<Args>(args)...));
  }
  TNovaObject* AddObject(std::unique_ptr<TNovaObject> object);
  // Frees the object now (children first); also removes it from the deletion list.
  void FreeObject(TNovaObject* object);
  void MarkForDeletion(TNovaObject* object);
  bool IsPendingDeletion(const TNovaObject* object) const;
  bool IsRegistered(const TNovaObject* object) const;
  TNovaObject* Resolve(const TObjectRef& ref) const;
  int ObjectCount() const { return static_cast<int>(registry_.size()); }
  TNovaObject* Object(int i) const { return registry_[static_cast<size_t>(i)].get(); }
  // "" and "\001BASE0" the displayed screen, 0x01 and "\001BASE1" the back screen, else the
  // first registered object of exactly that name.
  TNovaObject* FindObject(const std::string& name) const;
  // "" the displayed screen, 0x01 the back screen, "\001BASE0" / "\001BASE1" those screens,
  // else the first registered control of that name.
  TNovaControl* FindControl(const std::string& name) const;
  bool ObjectExists(const std::string& name) const { return !name.empty() && FindObject(name) != nullptr; }
  bool ObjectExists(const TEventSender& sender) const { return Resolve(sender.Ref) != nullptr; }
  // The sender's name while that very object is registered, else empty (the saved form of a
  // sender, and @Sender).
  std::string SenderName(const TEventSender& sender) const;
  // The sender an event or a call frame gets back from a saved name: FindObject's object, none
  // for the empty name or a name that matches nothing.
  TEventSender FindSender(const std::string& name) const;
  std::string MakeUniqueName(const std::string& prefix) const;
  // The names of the registered objects, optionally only of one type code and only children
  // of one control (the scene itself: no parent filter); returns the count.
  int ListObjects(std::vector<std::string>& out, int typeCode = -1, const TNovaObject* parent = nullptr);
  // Creates an object of a type code with the factory (null when the code has no class).
  TNovaObject* CreateObject(int typeCode);
  void SetFactory(const TObjectFactory* factory) { factory_ = factory; }
  const TObjectFactory* Factory() const { return factory_; }
  // Frees every object, the transition and the events; fresh screens of the same size.
  void Clear();

  // ---- the naming rules (used by TNovaObject::SetName) ----
  void Rename(TNovaObject& object, const std::string& name);

  // ---- events, input and focus ----
  TEventQueue& Events() { return events_; }
  const TEventQueue& Events() const { return events_; }
  TInputState& Input() { return input_; }
  TNovaControl* Focus() const;
  void SetFocus(TNovaControl* target);
  void RequestKeyTarget() { keyTargetRequested_ = true; }
  bool KeyTargetRequested() const { return keyTargetRequested_; }
  void AddRightClickControl(TNovaControl* control);
  void RemoveRightClickControl(TNovaControl* control);
  // Called with a cursor file name (Shift-JIS, empty: the standard arrow) when the cursor shown
  // over the displayed screen changes.
  void SetCursorListener(std::function<void(const std::string& file)> listener) { cursorListener_ = std::move(listener); }
  // The game's default cursor file (@Cursor), shown over objects without their own.
  std::function<std::string()> DefaultCursor;

  // ---- the frame ----
  void ProcessInput(uint32_t elapsedMs);
  void UpdateScene(uint32_t elapsedMs);
  void PaintScene();
  // The screen manager empties both dirty lists once it has presented the frame.
  void ClearDirty();
  // ---- screen transitions ----
  // The default parameters and the random generator transitions are made with (the game aims
  // the zoom at its screen and gives its run-time generator).
  void SetWipeContext(TWipeContext context) { wipeContext_ = std::move(context); }
  const TWipeContext& WipeContext() const { return wipeContext_; }
  // Makes newDisplayed the displayed screen; a running transition ends. With a kind that has
  // a transition (WP_FADE .. WP_BLOCKRANDOM) and a back surface of the screens' size and depth,
  // a transition starts from the displayed screen's picture (the back surface is copied into
  // its own surface) to the other screen's, composed on the back surface. It is returned for
  // the caller to set up (parameters, mask, Prepare) and to drive (SetElapsed); every
  // PaintScene, after both screens have painted into their own surfaces, steps it, until the
  // next call. Null: no transition runs.
  TCustomWipe* StartTransition(int newDisplayed, int32_t kind = WP_NONE, bool reverse = false, int32_t duration = 1);
  TCustomWipe* Transition() const { return transition_.get(); }
  bool TransitionRunning() const { return transition_ != nullptr; }
  // Tells transitions apart (a caller checks that the one it started still runs); 0: none.
  uint64_t TransitionSerial() const { return transition_ ? transitionSerial_ : 0; }
  // The rectangle a running transition touched in the last paint.
  const TRect& TransitionRect() const { return transitionRect_; }

  // ---- properties and saved form ----
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveScene(TStream& s);
  void LoadScene(TStream& s, int32_t version);

private:
  void DispatchMouse(TNovaBase& screen);
  void FireKeys();
  void MakeScreens();
  void FreeAll();
  TNovaControl* ResolveControl(const TObjectRef& ref) const;
  void ShowCursor(const std::string& file, TNovaBase& screen);

  std::unique_ptr<TNovaBase> screens_[2];
  int32_t width_ = 640, height_ = 480;
  int displayed_ = 0;
  int bits_ = 32;
  TCustomDIBX* back_ = nullptr;
  std::vector<std::unique_ptr<TNovaObject>> registry_;
  std::unordered_set<const TNovaObject*> live_;  // the registry and the screens, for quick checks
  std::vector<TNovaObject*> deletions_;
  std::vector<TNovaControl*> rightClick_;
  size_t updateIndex_ = 0;
  TEventQueue events_;
  TInputState input_;
  TObjectRef focus_;
  bool keyTargetRequested_ = false;
  const TObjectFactory* factory_ = nullptr;
  TWipeContext wipeContext_;
  std::unique_ptr<TCustomWipe> transition_;
  uint64_t transitionSerial_ = 0;
  TRect transitionRect_;
  std::function<void(const std::string&)> cursorListener_;
  uint64_t nextSerial_ = 1;
};

}  // namespace nova
