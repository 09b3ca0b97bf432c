// The HTTP object against a small HTTP server inside the test process (no network beyond the
// loopback): the download and its event, the response as text, a URL taken from another
// object's response, a proxy, a failed request, and going away while a request hangs.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "components/component_services.h"
#include "components/media/nova_http.h"
#include "components/register_components.h"
#include "objects/object_factory.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "platform/platform.h"
#include "platform/sdl/curl_http.h"

namespace nova {
namespace {

// Answers GET requests from a table of paths (or absolute URLs, as a proxy receives them);
// "/hang" is never answered.
class TestServer {
public:
  TestServer() {
    listen_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(listen_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~TestServer() {
    stop_ = true;
    thread_.join();
    for (int fd : held_) close(fd);
    close(listen_);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  int Port() const { return port_; }
  void Answer(const std::string& target, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[target] = body;
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

private:
  void Serve() {
    while (!stop_) {
      pollfd p{listen_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const int fd = accept(listen_, nullptr, nullptr);
      if (fd < 0) continue;
      std::string request;
      char buf[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<size_t>(n));
      }
      const std::string line = request.substr(0, request.find("\r\n"));
      const size_t sp = line.find(' ');
      const std::string target = line.substr(sp + 1, line.rfind(' ') - sp - 1);
      std::string body;
      bool known;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(target);
        known = answers_.count(target) != 0;
        if (known) body = answers_[target];
      }
      if (target == "/hang") {
        held_.push_back(fd);  // open and silent until the server ends
        continue;
      }
      const std::string reply = (known ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                                std::string("Content-Length: ") + std::to_string(body.size()) +
                                "\r\nConnection: close\r\n\r\n" + body;
      send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
      close(fd);
    }
  }

  int listen_ = -1, port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::map<std::string, std::string> answers_;
  std::vector<std::string> requests_;
  std::vector<int> held_;
};

class HttpTest : public testing::Test {
protected:
  HttpTest() {
    platform.SetHttp(CreateCurlHttpClient());
    services.Platform = &platform;
    RegisterComponentClasses(factory, services);
    scene.SetFactory(&factory);
  }
  TNovaHttp* Http(const std::string& name) {
    auto* h = dynamic_cast<TNovaHttp*>(scene.CreateObject(LT_HTTP));
    h->SetName(name);
    WriteProperty(*h, PR_ONPLAYEND, TPropValue::OfStr("done.nsb"));
    return h;
  }
  // Frames until the object posted its end event (a few seconds at most).
  bool WaitForEnd(TNovaHttp* h) {
    for (int i = 0; i < 500; ++i) {
      scene.UpdateScene(16);
      TEventQueue& q = scene.Events();
      for (int e = 0; e < q.Count(); ++e)
        if (q.Entry(e).Sender.Is(h) && q.Entry(e).EventCode == PR_ONPLAYEND) {
          q.Clear();
          return true;
        }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  TestServer server;
  THeadlessPlatform platform;
  TComponentServices services;
  TObjectFactory factory;
  TNovaBaseList scene;
};

TEST_F(HttpTest, DownloadsAndReadsTheResponseAsLines) {
  server.Answer("/news", "first line\r\n\xC6\xFC\xCB\xDC\xB8\xEC\r\nlast\r\n");  // 日本語 in EUC-JP
  TNovaHttp* h = Http("news");
  WriteProperty(*h, PR_SOURCE, TPropValue::OfStr(server.Url("/news")));
  EXPECT_TRUE(h->Busy());
  ASSERT_TRUE(WaitForEnd(h));
  EXPECT_FALSE(h->Busy());
  EXPECT_EQ(ReadProperty(*h, PR_SOURCE).Str, server.Url("/news"));
  EXPECT_EQ(ReadProperty(*h, PR_TEXT).Str, "first line\x01\x93\xFA\x96\x7B\x8C\xEA\x01last");
  WriteProperty(*h, PR_TEXT, TPropValue::OfStr("ignored"));
  EXPECT_EQ(ReadProperty(*h, PR_TEXT).Str.substr(0, 5), "first");
}

TEST_F(HttpTest, ASourceWithAnExclamationMarkRequestsWhatAnotherObjectDownloaded) {
  server.Answer("/where", server.Url("/there") + "\r\n");
  server.Answer("/there", "arrived");
  TNovaHttp* first = Http("other");
  WriteProperty(*first, PR_SOURCE, TPropValue::OfStr(server.Url("/where")));
  ASSERT_TRUE(WaitForEnd(first));
  TNovaHttp* second = Http("second");
  WriteProperty(*second, PR_SOURCE, TPropValue::OfStr("!other"));
  ASSERT_TRUE(WaitForEnd(second));
  EXPECT_EQ(second->Url(), server.Url("/there"));
  EXPECT_EQ(ReadProperty(*second, PR_TEXT).Str, "arrived");
  // An object that does not exist gives an empty address: the request fails, and still ends.
  TNovaHttp* third = Http("third");
  WriteProperty(*third, PR_SOURCE, TPropValue::OfStr("!nobody"));
  ASSERT_TRUE(WaitForEnd(third));
  EXPECT_EQ(ReadProperty(*third, PR_TEXT).Str, "");
}

TEST_F(HttpTest, GoesThroughTheProxyWhenOneIsSet) {
  server.Answer("http://example.invalid/page", "via proxy");
  TNovaHttp* h = Http("p");
  h->SetProxyText("127.0.0.1:" + std::to_string(server.Port()));
  EXPECT_EQ(h->ProxyText(), "127.0.0.1:" + std::to_string(server.Port()));
  WriteProperty(*h, PR_SOURCE, TPropValue::OfStr("http://example.invalid/page"));
  ASSERT_TRUE(WaitForEnd(h));
  EXPECT_EQ(ReadProperty(*h, PR_TEXT).Str, "via proxy");
  EXPECT_EQ(server.Requests().back(), "http://example.invalid/page");
}

TEST_F(HttpTest, AFailedRequestStillEndsWithItsEvent) {
  // A port nobody listens on: the connection is refused.
  const int closed = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(closed, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(closed, reinterpret_cast<sockaddr*>(&a), &len);
  const int port = ntohs(a.sin_port);
  close(closed);
  TNovaHttp* h = Http("f");
  WriteProperty(*h, PR_SOURCE, TPropValue::OfStr("http://127.0.0.1:" + std::to_string(port) + "/x"));
  ASSERT_TRUE(WaitForEnd(h));
  EXPECT_EQ(ReadProperty(*h, PR_TEXT).Str, "");
}

TEST_F(HttpTest, WhileARequestRunsANewSourceIsIgnoredAndDestroyingDoesNotHang) {
  TNovaHttp* h = Http("h");
  WriteProperty(*h, PR_SOURCE, TPropValue::OfStr(server.Url("/hang")));
  for (int i = 0; i < 100 && server.Requests().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  WriteProperty(*h, PR_SOURCE, TPropValue::OfStr(server.Url("/other")));
  EXPECT_EQ(h->Url(), server.Url("/hang"));
  const auto start = std::chrono::steady_clock::now();
  scene.FreeObject(h);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(scene.Events().Count(), 0);
}

}  // namespace
}  // namespace nova
