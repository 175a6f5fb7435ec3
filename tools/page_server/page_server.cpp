#include "page_server.h"

#include <filesystem>
#include <thread>

namespace korvex {
namespace {

// "<file>.headers" beside a served file adds its lines ("Name: value") to the answer.
void AddSidecarHeaders(const std::filesystem::path& file, httplib::Response& response) {
    std::ifstream in(file.string() + ".headers");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        const std::string name = line.substr(0, colon);
        response.headers.erase(name);
        response.set_header(name, value);
    }
}

}  // namespace

PageServer::PageServer(Options options) : options_(std::move(options)) {
    if (!options_.certificate.empty()) {
        server_ = std::make_unique<httplib::SSLServer>(options_.certificate.c_str(),
                                                       options_.private_key.c_str());
    } else {
        server_ = std::make_unique<httplib::Server>();
    }
    if (!options_.log_path.empty()) log_.open(options_.log_path, std::ios::app);

    // Written down before anything is answered, so a test that reads the log after a page has
    // loaded sees every request of it.
    server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        Log(request);
        // ?delay=<ms> holds any answer back.
        if (request.has_param("delay")) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::stoi(request.get_param_value("delay"))));
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    if (!options_.root.empty()) server_->set_mount_point("/", options_.root);
    // Pages are fetched anew unless their sidecar says otherwise.
    server_->set_file_request_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            response.set_header("Cache-Control", "no-cache");
            const std::filesystem::path file = std::filesystem::path(options_.root) /
                                               std::filesystem::path(request.path).relative_path();
            AddSidecarHeaders(file, response);
        });
}

PageServer::~PageServer() { Stop(); }

bool PageServer::valid() const { return server_ && server_->is_valid(); }

int PageServer::Bind() { return valid() ? server_->bind_to_any_port("127.0.0.1") : 0; }

void PageServer::Run() { server_->listen_after_bind(); }

void PageServer::Stop() {
    if (server_) server_->stop();
}

void PageServer::Log(const httplib::Request& request) {
    if (!log_.is_open()) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start_)
                        .count();
    std::lock_guard lock(log_mutex_);
    log_ << ms << ' ' << request.method << ' ' << request.target << '\n' << std::flush;
}

}  // namespace korvex
