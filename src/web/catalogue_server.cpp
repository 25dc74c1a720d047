#include "web/catalogue_server.h"

#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

namespace {

using HandlerResponse = httplib::Server::HandlerResponse;

void Send(const WebResponse& page, httplib::Response& response) {
  response.status = page.status;
  for (const auto& [name, value] : page.headers) response.set_header(name, value);
  response.set_content(page.body, page.content_type);
}

// What the library would set, without SO_REUSEPORT: with it, a second server would share a
// port in use instead of being refused it.
void Socket_options(int socket) {
  const int yes = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

}  // namespace

CatalogueServer::CatalogueServer(const CataloguePages& pages,
                                 CataloguePages::FailureReport report_failure) {
  _server.set_socket_options(Socket_options);
  // A page goes out as its head and then its body: waiting for the client's acknowledgement of
  // the head before sending the body would cost each request the client's delayed ACK (40 ms).
  _server.set_tcp_nodelay(true);
  _server.set_read_timeout(5);
  _server.set_write_timeout(5);
  _server.set_keep_alive_timeout(2);
  _server.set_keep_alive_max_count(20);
  _server.set_payload_max_length(8192);
  // Threads enough that a few slow clients leave the others answered, whatever the machine; the
  // library owns the pool it is given.
  _server.new_task_queue = [] { return new httplib::ThreadPool(16); };
  // Every request is the pages' to answer, before the library looks for a body to read.
  _server.set_pre_routing_handler(
      [&pages](const httplib::Request& request, httplib::Response& response) {
        Send(pages.Respond(request.method, request.path, request.params), response);
        return HandlerResponse::Handled;
      });
  // Called for every status from 400 up: a response of the pages has its page already.
  _server.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request& /*request*/, httplib::Response& response) {
        if (not response.body.empty()) return HandlerResponse::Unhandled;
        response.headers.clear();
        Send(CataloguePages::Refusal(response.status), response);
        return HandlerResponse::Handled;
      }));
  // Without it the library would name the exception in a header of the response.
  _server.set_exception_handler(
      [report = std::move(report_failure)](const httplib::Request& /*request*/,
                                           httplib::Response& response, std::exception_ptr error) {
        try {
          std::rethrow_exception(std::move(error));
        } catch (const std::exception& exception) {
          report(exception.what());
        } catch (...) {
          report("an unknown failure");
        }
        response.headers.clear();
        Send(CataloguePages::Refusal(500), response);
      });
}

int CatalogueServer::Listen(const std::string& host, int port) {
  // The library says only whether it could: the host is looked up first for the reason.
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  if (const int error = getaddrinfo(host.c_str(), nullptr, &hints, &found); error != 0) {
    throw std::runtime_error(gai_strerror(error));
  }
  freeaddrinfo(found);
  errno = 0;
  const int taken =
      port == 0 ? _server.bind_to_any_port(host) : (_server.bind_to_port(host, port) ? port : -1);
  if (taken < 0) {
    throw std::runtime_error(errno != 0 ? std::strerror(errno) : "cannot listen there");
  }
  return taken;
}

bool CatalogueServer::Serve() {
  const bool served = _server.listen_after_bind();
  _served = true;
  return served or _stopping;
}

void CatalogueServer::Stop() {
  _stopping = true;
  // The library stops only a server that runs: one about to start is waited for.
  while (not _server.is_running() and not _served) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  _server.stop();
}
