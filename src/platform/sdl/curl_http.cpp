#include "platform/sdl/curl_http.h"

#include <curl/curl.h>

#include <cstdlib>
#include <mutex>

namespace nova {
namespace {

class TCurlHttpClient : public THttpClient {
public:
  TCurlHttpClient() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  }

  bool Get(const THttpRequest& request, const THttpSink& sink) override {
    CURL* curl = curl_easy_init();
    if (!curl) return false;
    curl_easy_setopt(curl, CURLOPT_URL, request.Url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // worker threads
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "novaplayer");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
    // A proxy only when the game sets one (the environment's proxy variables are not used).
    curl_easy_setopt(curl, CURLOPT_PROXY, request.ProxyHost.c_str());
    if (!request.ProxyHost.empty() && !request.ProxyPort.empty())
      curl_easy_setopt(curl, CURLOPT_PROXYPORT, std::strtol(request.ProxyPort.c_str(), nullptr, 10));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &TCurlHttpClient::Write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, const_cast<THttpSink*>(&sink));
    if (request.Cancel) {
      // Checked about once a second and on every piece, also while the server is silent.
      curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
      curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &TCurlHttpClient::Progress);
      curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(request.Cancel));
    }
    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return rc == CURLE_OK;
  }

private:
  static int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;  // non-zero aborts
  }
  static size_t Write(char* data, size_t size, size_t count, void* user) {
    const size_t n = size * count;
    const THttpSink& sink = *static_cast<const THttpSink*>(user);
    return sink(data, n) ? n : 0;  // 0 aborts the transfer
  }
};

}  // namespace

std::unique_ptr<THttpClient> CreateCurlHttpClient() { return std::make_unique<TCurlHttpClient>(); }

}  // namespace nova
