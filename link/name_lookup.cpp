// Name lookup with a deadline, on the platform's getaddrinfo (GetAddrInfoW on Windows, whose
// names and messages are UTF-8 here).
#include "link/name_lookup.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "link/socket_platform.h"
#ifdef _WIN32
#include "link/win32_text.h"
#endif

namespace quorvex {

namespace {

#ifdef _WIN32
using AddressInfo = ADDRINFOW;
#else
using AddressInfo = addrinfo;
#endif

template <typename Info>
std::vector<SocketAddress> Addresses(const Info* found) {
  std::vector<SocketAddress> addresses;
  for (const Info* a = found; a != nullptr; a = a->ai_next) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(a->ai_addr);
    addresses.push_back({a->ai_family, a->ai_socktype, a->ai_protocol,
                         std::vector<unsigned char>(bytes, bytes + a->ai_addrlen)});
  }
  return addresses;
}

// The system's lookup, as long as it takes; `flags` are getaddrinfo's.
NameLookup LookUp(const std::string& host, const std::string& service, int flags) {
  AddressInfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = flags;
  AddressInfo* found = nullptr;
  NameLookup lookup;
#ifdef _WIN32
  // gai_strerror is not safe on threads here (one static buffer) and speaks the ANSI code page.
  const int e =
      GetAddrInfoW(WideFromUtf8(host).c_str(), WideFromUtf8(service).c_str(), &hints, &found);
  if (e != 0) {
    lookup.failure = ConnectFailure::HostNotFound;
    lookup.reason = SystemMessage(static_cast<unsigned long>(e));
    return lookup;
  }
  lookup.addresses = Addresses(found);
  FreeAddrInfoW(found);
#else
  const int e = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (e != 0) {
    lookup.failure = ConnectFailure::HostNotFound;
    lookup.reason = e == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(e);
    return lookup;
  }
  lookup.addresses = Addresses(found);
  ::freeaddrinfo(found);
#endif
  return lookup;
}

// What the caller and the lookup's thread share; the last of them to let go frees it.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  NameLookup result;
};

}  // namespace

NameLookup LookUpName(const std::string& host, int port,
                      std::chrono::steady_clock::time_point deadline) {
  const std::string service = std::to_string(port);
  NameLookup numeric = LookUp(host, service, AI_NUMERICHOST);
  if (numeric.failure == ConnectFailure::None) return numeric;

  auto pending = std::make_shared<PendingLookup>();
  try {
    std::thread([pending, host, service] {
      NameLookup result = LookUp(host, service, 0);
      const std::lock_guard<std::mutex> lock(pending->mutex);
      pending->result = std::move(result);
      pending->done = true;
      pending->ended.notify_all();
    }).detach();
  } catch (const std::system_error& e) {
    return {{}, ConnectFailure::Other, std::string("no thread for the name lookup: ") + e.what()};
  }
  std::unique_lock<std::mutex> lock(pending->mutex);
  if (!pending->ended.wait_until(lock, deadline, [&] { return pending->done; })) {
    return {{}, ConnectFailure::NoAnswer, "no answer"};
  }
  return std::move(pending->result);
}

}  // namespace quorvex
