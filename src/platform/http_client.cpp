#include "platform/http_client.h"

namespace nova {

THttpClient& OfflineHttpClient() {
  static TOfflineHttpClient client;
  return client;
}

}  // namespace nova
