// Upload (in memory only) on large, many-part and adversarial bodies. Each iteration also times
// one memmem pass over the same bytes right after the Upload; `x_memmem` is the median ratio,
// a figure that holds on a loaded machine. The httplib benchmarks post the same body over loopback
// to cpp-httplib's server, once as multipart/form-data (parsed into files) and once as an opaque
// body; the difference is its multipart parser's share.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "asp/scripting_context.h"
#include "multipart_body.h"
#include "upload/system_init.h"

namespace {

using upload::testing::MultipartBody;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kLarge = 64u << 20;
const std::string kBoundary = "----WebKitFormBoundary7MA4YWxkTrZu0gW";

std::string randomBytes(std::size_t n) {
  std::mt19937_64 random(42);
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i + 8 <= n; i += 8) {
    const auto word = random();
    std::memcpy(&bytes[i], &word, 8);
  }
  // Random bytes may hold the delimiter's first bytes but, at these odds, never all of it.
  return bytes;
}

std::string repeated(const std::string& unit, std::size_t n) {
  std::string s;
  s.reserve(n + unit.size());
  while (s.size() < n) s += unit;
  s.resize(n);
  return s;
}

std::string withTenFields(const std::string& fileContent) {
  MultipartBody body(kBoundary);
  for (int i = 0; i < 5; ++i) body.field("field" + std::to_string(i), "value " + std::to_string(i));
  body.file("upload", "C:\\data\\big.bin", fileContent);
  for (int i = 5; i < 10; ++i)
    body.field("field" + std::to_string(i), "value " + std::to_string(i));
  return body.bytes();
}

const std::string& largeBody() {
  static const std::string body = withTenFields(randomBytes(kLarge));
  return body;
}

const std::string& manyPartsBody() {
  static const std::string body = [] {
    MultipartBody b(kBoundary);
    for (int i = 0; i < 255; ++i) {
      if (i % 2) {
        b.field("f" + std::to_string(i), std::string(200, 'v'));
      } else {
        b.file("p" + std::to_string(i), "n" + std::to_string(i) + ".txt", randomBytes(4096));
      }
    }
    return b.bytes();
  }();
  return body;
}

// As large as the plain body, so that per-byte figures compare like with like (the allocator
// maps fresh pages for bodies above 32 MiB and reuses them below).
std::string makeAdversarialBody(int kind) {
  switch (kind) {
    case 0:
      return withTenFields(repeated("\r\n", kLarge));
    case 1:
      return withTenFields(repeated("-", kLarge));
    case 2:  // lines that are the delimiter but for its last byte
      return withTenFields(
          repeated("\r\n--" + kBoundary.substr(0, kBoundary.size() - 1) + "X", kLarge));
    case 3:  // the counted marker but for its last byte, and lone quotes
      return withTenFields(repeated("; name\"", kLarge));
    default:  // the counted marker over and over: counted in full, then too many parts
      return withTenFields(repeated("; name=\"x\"", kLarge));
  }
}

const std::string& adversarialBody(int kind) {
  static std::string bodies[5];
  if (bodies[kind].empty()) bodies[kind] = makeAdversarialBody(kind);
  return bodies[kind];
}

std::size_t memmemPass(const std::string& bytes) {
  static const char kMarker[] = "; name=";
  std::size_t hits = 0;
  const char* from = bytes.data();
  const char* end = from + bytes.size();
  while (const void* hit = memmem(from, static_cast<std::size_t>(end - from), kMarker, 7)) {
    ++hits;
    from = static_cast<const char*>(hit) + 1;
  }
  return hits;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// A fresh receiver per iteration, as a page has: freeing the last tables is not timed.
void uploadBeside(benchmark::State& state, const std::string& body, bool complete = true) {
  auto request = std::make_shared<asp::Request>();
  auto context = std::make_shared<asp::ScriptingContext>(
      asp::PageObjects{request, nullptr, nullptr, nullptr, nullptr});
  std::vector<double> toMemmem;
  for (auto _ : state) {
    upload::SystemInit receiver;
    receiver.OnStartPage(automation::Variant(automation::ObjectRef(context)));
    receiver.UpToFile(2);
    request->setBody(body, "multipart/form-data");
    const auto start = Clock::now();
    const automation::Text result = receiver.Upload(0x7FFFFFFF);
    const auto uploaded = Clock::now();
    benchmark::DoNotOptimize(memmemPass(body));
    const auto passed = Clock::now();
    if ((result == u"OK") != complete) state.SkipWithError("Upload did not answer as expected");
    state.SetIterationTime(seconds(uploaded - start));
    toMemmem.push_back(seconds(uploaded - start) / seconds(passed - uploaded));
  }
  state.counters["x_memmem"] = median(toMemmem);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}

void BM_UploadLarge(benchmark::State& state) { uploadBeside(state, largeBody()); }
void BM_UploadManyParts(benchmark::State& state) { uploadBeside(state, manyPartsBody()); }
void BM_UploadAdversarial(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  uploadBeside(state, adversarialBody(kind), kind != 4);
}

// cpp-httplib's server on loopback, answering with the number of parts it parsed.
class HttplibPeer {
 public:
  HttplibPeer() {
    server_.Post("/", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(std::to_string(req.files.size() + (req.body.empty() ? 0 : 1)), "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~HttplibPeer() {
    server_.stop();
    thread_.join();
  }
  int port() const { return port_; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

void httplibPost(benchmark::State& state, const std::string& body, bool multipart) {
  static HttplibPeer peer;
  httplib::Client client("127.0.0.1", peer.port());
  const std::string type = multipart ? "multipart/form-data; boundary=" + kBoundary
                                     : std::string("application/octet-stream");
  for (auto _ : state) {
    auto res = client.Post("/", body, type);
    if (!res || res->status != 200) state.SkipWithError("the peer did not answer");
    benchmark::DoNotOptimize(res);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}

void BM_HttplibMultipartLarge(benchmark::State& state) { httplibPost(state, largeBody(), true); }
void BM_HttplibOpaqueLarge(benchmark::State& state) { httplibPost(state, largeBody(), false); }
void BM_HttplibMultipartManyParts(benchmark::State& state) {
  httplibPost(state, manyPartsBody(), true);
}
void BM_HttplibOpaqueManyParts(benchmark::State& state) {
  httplibPost(state, manyPartsBody(), false);
}

}  // namespace

BENCHMARK(BM_UploadLarge)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_UploadManyParts)->UseManualTime()->Unit(benchmark::kMicrosecond);
// 0: CR LF runs, 1: '-' runs, 2: near-delimiters, 3: near-markers, 4: markers
BENCHMARK(BM_UploadAdversarial)->DenseRange(0, 4)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HttplibMultipartLarge)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_HttplibOpaqueLarge)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_HttplibMultipartManyParts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HttplibOpaqueManyParts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
