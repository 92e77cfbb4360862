// The HTTP loader against servers on 127.0.0.1: good bodies, error pages, broken and hostile
// answers.
#include "platform/system/CurlHttpLoader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

using std::chrono::seconds;
using testing::HttpTestServer;
using testing::serve;
using Misbehaviour = HttpTestServer::Misbehaviour;

constexpr std::string_view kJson = R"({"current":{"temp":21.5}})";

void redirect(httplib::Server& routes, const std::string& path, const std::string& to) {
  routes.Get(path, [=](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(to);
  });
}

TEST(CurlHttpLoaderAnswers, EveryBodyCountsWhateverTheStatusButOnlyHttpAndFewRedirectsLoad) {
  const HttpTestServer server([](httplib::Server& routes) {
    serve(routes, "/ok", std::string(kJson));
    serve(routes, "/missing", R"({"cod":"404","message":"city not found"})", "text/plain", 404);
    serve(routes, "/unauthorised", "<html><body>401 Unauthorized</body></html>", "text/plain", 401);
    redirect(routes, "/moved", "/there");
    serve(routes, "/there", "arrived");
    redirect(routes, "/loop", "/loop");
    redirect(routes, "/to-file", "file:///etc/hostname");
  });
  CurlHttpLoader loader;
  EXPECT_EQ(loader.load(server.url("/ok")), kJson);
  EXPECT_EQ(loader.load(server.url("/missing")), R"({"cod":"404","message":"city not found"})");
  EXPECT_EQ(loader.load(server.url("/unauthorised")), "<html><body>401 Unauthorized</body></html>");
  EXPECT_EQ(loader.load(server.url("/moved")), "arrived");
  EXPECT_EQ(loader.load(server.url("/loop")), std::nullopt);
  EXPECT_EQ(loader.load(server.url("/to-file")), std::nullopt);
  // Addresses that cannot be loaded.
  const std::string refused = HttpTestServer([](httplib::Server&) {}).url();  // stopped at once
  EXPECT_EQ(loader.load(refused), std::nullopt);
  EXPECT_EQ(loader.load("http://stratovane-test.invalid/"), std::nullopt);  // never resolves
  EXPECT_EQ(loader.load("file:///etc/hostname"), std::nullopt);
  EXPECT_EQ(loader.load("not a url"), std::nullopt);
}

TEST(CurlHttpLoaderFailures, AServerWithAnUntrustedCertificateIsRefused) {
  testing::TempDir dir;
  const std::string certificate = (dir / "cert.pem").string();
  const std::string key = (dir / "key.pem").string();
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
      "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
      key + " -out " + certificate + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "openssl cannot make a certificate";
  const HttpTestServer server(
      [](httplib::Server& routes) { serve(routes, "/", std::string(kJson)); }, certificate, key);
  // The server works for a client that does not check it...
  httplib::SSLClient unchecked("127.0.0.1", server.port());
  unchecked.enable_server_certificate_verification(false);
  const auto answer = unchecked.Get("/");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->body, kJson);
  // ...but the loader always checks.
  CurlHttpLoader loader;
  EXPECT_EQ(loader.load(server.url()), std::nullopt);
}

TEST(CurlHttpLoaderFailures, BrokenAnswersFailAtOnceOrAtTheirTimeouts) {
  // Idle 1 s, total 3 s, at most 256 KiB: a silent server takes one second, well before the
  // total time-out; one that trickles takes the total three; cut short or past the cap fails at
  // once.
  constexpr std::size_t cap = 256 * 1024;
  CurlHttpLoader loader(seconds(1), cap, seconds(3));
  struct Case {
    Misbehaviour behaviour;
    double from, before;  // seconds
  };
  const Case cases[] = {{Misbehaviour::truncatedBody, 0, 0.9},
                        {Misbehaviour::endlessBody, 0, 0.9},
                        {Misbehaviour::silent, 0.9, 2.5},
                        {Misbehaviour::tricklingBody, 2.9, 11}};
  for (const auto& [behaviour, from, before] : cases) {
    SCOPED_TRACE(static_cast<int>(behaviour));
    const HttpTestServer server(behaviour);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(loader.load(server.url()), std::nullopt);
    const std::chrono::duration<double> loading = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(server.requests(), 1);
    EXPECT_GE(loading.count(), from);
    EXPECT_LT(loading.count(), before);
  }

  // The cap itself still loads.
  const HttpTestServer exact([&](httplib::Server& routes) {
    serve(routes, "/", std::string(cap, 'x'));
    serve(routes, "/one-more", std::string(cap + 1, 'x'));
  });
  EXPECT_EQ(loader.load(exact.url())->size(), cap);
  EXPECT_EQ(loader.load(exact.url("/one-more")), std::nullopt);
}

}  // namespace
}  // namespace stratovane
