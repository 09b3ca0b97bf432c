#include "components/media/nova_http.h"

#include "base/process.h"
#include "components/component_services.h"
#include "components/media/euc_text.h"
#include "objects/scene.h"
#include "platform/platform.h"

namespace nova {

TNovaHttp::TNovaHttp(TNovaBaseList* scene, const TComponentServices& services)
    : TNovaComponent(scene), services_(services), transfer_(std::make_shared<TTransfer>()) {}

TNovaHttp::~TNovaHttp() {
  if (transfer_) transfer_->Cancel = true;
  Join();
}

void TNovaHttp::Join() {
  if (thread_.joinable()) thread_.join();
}

std::string TNovaHttp::Response() const {
  std::lock_guard<std::mutex> lock(transfer_->Lock);
  return transfer_->Body;
}

void TNovaHttp::SetProxyText(const std::string& text) {
  const size_t colon = text.find(':');
  proxyHost_ = text.substr(0, colon);
  proxyPort_ = colon == std::string::npos ? std::string() : text.substr(colon + 1);
}

void TNovaHttp::Request(const std::string& source) {
  if (Busy()) return;
  std::string url = source;
  if (!source.empty() && source[0] == '!') {
    // The document another HTTP object downloaded names the address.
    url.clear();
    if (auto* other = dynamic_cast<TNovaHttp*>(Scene() ? Scene()->FindObject(source.substr(1)) : nullptr))
      url = other->Response();
    // A document that holds an address usually ends its line.
    while (!url.empty() && (url.back() == '\r' || url.back() == '\n' || url.back() == ' ' || url.back() == '\t'))
      url.pop_back();
  }
  url_ = url;
  // A fresh buffer: the last request's thread has ended, nothing else holds the old one.
  transfer_ = std::make_shared<TTransfer>();
  THttpClient* client = services_.Platform ? &services_.Platform->Http() : &OfflineHttpClient();
  thread_ = std::thread([client, request = THttpRequest{url, proxyHost_, proxyPort_, nullptr}, transfer = transfer_]() mutable {
    request.Cancel = &transfer->Cancel;
    try {
      client->Get(request, [&transfer](const char* data, size_t size) {
        if (transfer->Cancel) return false;
        std::lock_guard<std::mutex> lock(transfer->Lock);
        transfer->Body.append(data, size);
        return true;
      });
    } catch (...) {
      // A failed request ends like a finished one; the buffer keeps what arrived.
    }
    transfer->Done = true;
  });
}

bool TNovaHttp::Update(uint32_t) {
  if (!Busy() || !transfer_->Done) return false;
  Join();
  if (!Quitting()) PostEventIfFree(PR_ONPLAYEND);
  return false;
}

bool TNovaHttp::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(url_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_TEXT: v = TPropValue::OfStr(JoinLinesWithSoh(EucToSjis(Response()))); return true;
    default: return false;
  }
}

bool TNovaHttp::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: Request(v.Str); return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    default: return false;  // PR_TEXT is read only
  }
}

}  // namespace nova
