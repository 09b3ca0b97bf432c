#include "platform/sdl/alsa_midi.h"

#if defined(NOVA_HAVE_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace nova {

#if defined(NOVA_HAVE_ALSA)
namespace {

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
  ~TAlsaMidiOutput() override { snd_seq_close(seq_); }

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
