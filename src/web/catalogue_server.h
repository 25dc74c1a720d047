#ifndef SHELVORANQUIST_WEB_CATALOGUE_SERVER_H_
#define SHELVORANQUIST_WEB_CATALOGUE_SERVER_H_

#include <httplib.h>

#include <atomic>
#include <string>

#include "web/catalogue_pages.h"

// The public catalogue over HTTP (cpp-httplib, from Debian): every request it can read goes to
// CataloguePages whatever its method or address, and every request it refuses itself gets the
// pages' refusal for it: a request line or header it cannot parse or an unknown method (400),
// a request line over 8192 bytes (414). It answers on 16 threads; a client gets 5 seconds for
// each read and write, and an idle connection is closed after 2; a request body is never read.
class CatalogueServer {
 public:
  // `pages` must outlive the server. `report_failure` says in one line what failed in a request
  // that then got 500; it is called from the server's threads.
  CatalogueServer(const CataloguePages& pages, CataloguePages::FailureReport report_failure);

  // Takes `port` on `host` (a name or an address; port 0: any free port) and returns the port
  // taken. Throws std::runtime_error with the reason when it cannot (the port is taken, no such
  // host).
  int Listen(const std::string& host, int port);

  // Answers requests, on threads of its own, until Stop; false when it stopped by itself.
  bool Serve();

  // Makes Serve return once the requests under way are answered, also when Serve is about to
  // start. Safe from any thread.
  void Stop();

 private:
  httplib::Server _server;
  std::atomic<bool> _stopping = false;
  std::atomic<bool> _served = false;
};

#endif  // SHELVORANQUIST_WEB_CATALOGUE_SERVER_H_
