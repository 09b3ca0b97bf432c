#include "components/register_components.h"

#include "components/component_services.h"
#include "components/effects/nova_fire.h"
#include "components/effects/nova_wave.h"
#include "components/controls/nova_gauge.h"
#include "components/controls/nova_scrollbar.h"
#include "components/controls/nova_slider.h"
#include "components/effects/nova_particle.h"
#include "components/films/nova_cinema.h"
#include "components/images/nova_box.h"
#include "components/images/nova_button.h"
#include "components/media/nova_http.h"
#include "components/images/nova_images.h"
#include "components/images/nova_map_image.h"
#include "components/media/nova_sound.h"
#include "components/lists/nova_menu.h"
#include "components/lists/nova_prev_menu.h"
#include "components/images/nova_tile.h"
#include "components/text/nova_cglabel.h"
#include "components/text/nova_label.h"
#include "components/text/nova_mes.h"
#include "components/media/nova_video.h"
#include "objects/nova_cabinet.h"
#include "objects/nova_prop_motion.h"
#include "objects/nova_timer.h"
#include "objects/object_factory.h"
#include "objects/scene.h"

namespace nova {

void RegisterComponentClasses(TObjectFactory& factory, TComponentServices& services) {
  factory.Register(LT_CABINET, [](TNovaBaseList& scene) { return std::make_unique<TNovaCabinet>(&scene); });
  factory.Register(LT_TIMER, [](TNovaBaseList& scene) { return std::make_unique<TNovaTimer>(&scene); });
  factory.Register(LT_PROPMOTION, [](TNovaBaseList& scene) { return std::make_unique<TNovaPropMotion>(&scene); });
  factory.Register(LT_BOX, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaBox>(&scene, services); });
  factory.Register(LT_IMAGES,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaImages>(&scene, services); });
  factory.Register(LT_BUTTON,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaButton>(&scene, services); });
  factory.Register(LT_TILE, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaTile>(&scene, services); });
  factory.Register(LT_MAPIMG,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaMapImage>(&scene, services); });
  factory.Register(LT_MENU, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaMenu>(&scene, services); });
  factory.Register(LT_PREVMENU,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaPrevMenu>(&scene, services); });
  factory.Register(LT_MES, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaMes>(&scene, services); });
  factory.Register(LT_LABEL, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaLabel>(&scene, services); });
  factory.Register(LT_CGLABEL,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaCGLabel>(&scene, services); });
  factory.Register(LT_SOUND, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaSound>(&scene, services); });
  factory.Register(LT_HTTP, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaHttp>(&scene, services); });
  factory.Register(LT_VIDEO, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaVideo>(&scene, services); });
  factory.Register(LT_SLIDER,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaSlider>(&scene, services); });
  factory.Register(LT_SCROLLBAR,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaScrollbar>(&scene, services); });
  factory.Register(LT_GAUGE, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaGauge>(&scene, services); });
  factory.Register(LT_PARTICLE,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaParticle>(&scene, services); });
  factory.Register(LT_FIRE,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaFire>(&scene, services); });
  factory.Register(LT_WAVE, [](TNovaBaseList& scene) { return std::make_unique<TNovaWave>(&scene); });
  factory.Register(LT_CINEMA,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaCinema>(&scene, services); });
}

}  // namespace nova
