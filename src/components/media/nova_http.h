#pragma once
// The HTTP request (TNovaHttp): setting PR_SOURCE downloads one document on a worker thread
// into the object's response buffer; when the thread has ended, the next update posts
// PR_ONPLAYEND. PR_TEXT reads the response as EUC-JP text in lines joined by 0x01. A source
// "!name" requests the URL that the HTTP object "name" downloaded.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "objects/nova_object.h"
#include "platform/http_client.h"

namespace nova {

struct TComponentServices;

class TNovaHttp : public TNovaComponent {
public:
  TNovaHttp(TNovaBaseList* scene, const TComponentServices& services);
  // Waits for a running request (which is told to stop).
  ~TNovaHttp() override;

  uint8_t TypeCode() const override { return LT_HTTP; }
  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;

  // Starts a request (nothing while one runs).
  void Request(const std::string& source);
  bool Busy() const { return thread_.joinable(); }
  const std::string& Url() const { return url_; }
  // The response body as received so far (read while the request runs, too).
  std::string Response() const;
  // The proxy as "host:port" (split at the first colon when written).
  std::string ProxyText() const { return proxyHost_ + ":" + proxyPort_; }
  void SetProxyText(const std::string& text);

private:
  // What the worker thread shares with the object.
  struct TTransfer {
    std::mutex Lock;
    std::string Body;
    std::atomic<bool> Done{false};
    std::atomic<bool> Cancel{false};
  };
  void Join();

  const TComponentServices& services_;
  std::string url_, onPlayEnd_, proxyHost_, proxyPort_;
  std::shared_ptr<TTransfer> transfer_;
  std::thread thread_;
};

}  // namespace nova
