#include "ServeLoad.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <fstream>
#include <map>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace serveload {

namespace {

    using Clock = std::chrono::steady_clock;

    double millisecondsSince(Clock::time_point start)
    {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    // A closed-on-destruction socket.
    class Socket {
    public:
        Socket() = default;
        explicit Socket(int fd)
            : m_fd(fd)
        {
        }
        Socket(Socket&& other) noexcept
            : m_fd(std::exchange(other.m_fd, -1))
        {
        }
        Socket& operator=(Socket&& other) noexcept
        {
            if (this != &other) {
                reset();
                m_fd = std::exchange(other.m_fd, -1);
            }
            return *this;
        }
        ~Socket() { reset(); }
        void reset()
        {
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = -1;
        }
        int fd() const { return m_fd; }
        explicit operator bool() const { return m_fd >= 0; }

    private:
        int m_fd { -1 };
    };

    Socket connectTo(const std::string& host, int port)
    {
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
            return {};
        Socket result;
        for (auto* address = found; address && !result; address = address->ai_next) {
            Socket candidate(::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol));
            if (candidate && ::connect(candidate.fd(), address->ai_addr, address->ai_addrlen) == 0)
                result = std::move(candidate);
        }
        ::freeaddrinfo(found);
        return result;
    }

    bool sendAll(int fd, std::string_view bytes)
    {
        while (!bytes.empty()) {
            ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            bytes.remove_prefix(static_cast<size_t>(sent));
        }
        return true;
    }

    // Reads until the status line is in or the time runs out; 0 for none.
    int readStatus(int fd, std::chrono::milliseconds timeout)
    {
        std::string received;
        auto deadline = Clock::now() + timeout;
        while (received.find("\r\n") == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd waiting { fd, POLLIN, 0 };
            if (left <= 0 || ::poll(&waiting, 1, static_cast<int>(left)) <= 0)
                return 0;
            char buffer[512];
            ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                return 0;
            received.append(buffer, static_cast<size_t>(got));
        }
        // "HTTP/1.1 413 Payload Too Large"
        auto space = received.find(' ');
        return space == std::string::npos ? 0 : std::atoi(received.c_str() + space + 1);
    }

    long residentKiB(pid_t pid)
    {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("VmRSS:"))
                return std::atol(line.c_str() + 6);
        }
        return 0;
    }

    double percentile(const std::vector<double>& sorted, double p)
    {
        if (sorted.empty())
            return 0;
        size_t index = std::min(sorted.size() - 1, static_cast<size_t>(p / 100 * static_cast<double>(sorted.size())));
        return sorted[index];
    }

    std::string messageText(const LoadOptions& options, int client, uint64_t step)
    {
        return options.tag + " " + std::to_string(client) + " " + std::to_string(step);
    }

    struct Shared {
        const LoadOptions& options;
        Clock::time_point deadline;
        std::mutex mutex;
        std::vector<double> latencies;
        std::vector<std::string> answered; // texts of the steps answered 200
        std::atomic<uint64_t> refused { 0 };
        std::atomic<uint64_t> events { 0 };
        std::atomic<uint64_t> streamsRefused { 0 };
        std::vector<std::string> problems;

        void problem(std::string text)
        {
            std::lock_guard lock(mutex);
            if (problems.size() < 20)
                problems.push_back(std::move(text));
        }
    };

    // One page: steps one after another on a keep-alive connection.
    void postSteps(Shared& shared, int client)
    {
        const auto& options = shared.options;
        httplib::Client http(options.host, options.port);
        http.set_keep_alive(true);
        http.set_read_timeout(30);
        std::vector<double> latencies;
        std::vector<std::string> answered;
        char from[32];
        std::snprintf(from, sizeof from, "+39333%07d", client);
        for (uint64_t step = 0; Clock::now() < shared.deadline; ++step) {
            if (step > 0 && options.pause.count() > 0)
                std::this_thread::sleep_for(options.pause);
            std::string text = messageText(options, client, step);
            nlohmann::json body = { { "step", "receive_sms" }, { "from", from }, { "text", text } };
            auto started = Clock::now();
            auto response = http.Post("/api/step", body.dump(), "application/json");
            double took = millisecondsSince(started);
            if (response && response->status == 200) {
                latencies.push_back(took);
                answered.push_back(std::move(text));
            } else {
                ++shared.refused;
                shared.problem("step " + text + " after " + std::to_string(static_cast<int>(took)) + " ms: " + (response ? "status " + std::to_string(response->status) + " " + response->body : "no answer (" + httplib::to_string(response.error()) + ")"));
            }
        }
        std::lock_guard lock(shared.mutex);
        shared.latencies.insert(shared.latencies.end(), latencies.begin(), latencies.end());
        shared.answered.insert(shared.answered.end(), std::make_move_iterator(answered.begin()), std::make_move_iterator(answered.end()));
    }

    // The same page's event stream, read until the run ends.
    void readEvents(Shared& shared)
    {
        const auto& options = shared.options;
        Socket stream = connectTo(options.host, options.port);
        if (!stream || !sendAll(stream.fd(), "GET /api/events HTTP/1.1\r\nHost: " + options.host + "\r\n\r\n")) {
            shared.problem("cannot open an event stream");
            return;
        }
        std::string pending;
        bool headerRead = false;
        while (Clock::now() < shared.deadline) {
            pollfd waiting { stream.fd(), POLLIN, 0 };
            if (::poll(&waiting, 1, 50) <= 0)
                continue;
            char buffer[16384];
            ssize_t got = ::recv(stream.fd(), buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            pending.append(buffer, static_cast<size_t>(got));
            if (!headerRead) {
                if (pending.find("\r\n") == std::string::npos)
                    continue;
                headerRead = true;
                if (!pending.starts_with("HTTP/1.1 200")) {
                    ++shared.streamsRefused;
                    return;
                }
            }
            // Count whole events; keep what may be the start of the next.
            size_t at = 0, next;
            while ((next = pending.find("event: ", at)) != std::string::npos) {
                ++shared.events;
                at = next + 7;
            }
            pending.erase(0, std::max(at, pending.size() > 6 ? pending.size() - 6 : size_t(0)));
        }
    }

    // Slow connections: half of a request's headers, then silence. One
    // thread watches them all and replaces those the server closes.
    void holdSlowConnections(Shared& shared, LoadReport& report)
    {
        const auto& options = shared.options;
        std::string half = "POST /api/step HTTP/1.1\r\nHost: " + options.host + "\r\nContent-Type: application/js";
        std::vector<Socket> open;
        auto openOne = [&] {
            Socket slow = connectTo(options.host, options.port);
            if (slow && sendAll(slow.fd(), half)) {
                ++report.slowOpened;
                open.push_back(std::move(slow));
            }
        };
        while (Clock::now() < shared.deadline) {
            while (static_cast<int>(open.size()) < options.slowConnections && Clock::now() < shared.deadline)
                openOne();
            std::vector<pollfd> watching;
            for (auto& slow : open)
                watching.push_back({ slow.fd(), POLLIN, 0 });
            if (::poll(watching.data(), watching.size(), 50) <= 0)
                continue;
            for (size_t i = watching.size(); i-- > 0;) {
                if (!(watching[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                ++report.slowClosedByServer;
                open.erase(open.begin() + static_cast<ptrdiff_t>(i));
            }
        }
    }

    // Now and then: a body far over the limit, and a request that is no HTTP.
    void sendHostileRequests(Shared& shared, LoadReport& report)
    {
        const auto& options = shared.options;
        while (Clock::now() < shared.deadline) {
            {
                Socket socket = connectTo(options.host, options.port);
                std::string headers = "POST /api/step HTTP/1.1\r\nHost: " + options.host + "\r\nContent-Type: application/json\r\nContent-Length: 10485760\r\n\r\n";
                auto started = Clock::now();
                if (socket && sendAll(socket.fd(), headers + std::string(64 * 1024, 'a'))) {
                    report.oversizedStatuses.push_back(readStatus(socket.fd(), std::chrono::seconds(10)));
                    report.oversizedWorst = std::max(report.oversizedWorst, millisecondsSince(started));
                }
            }
            {
                Socket socket = connectTo(options.host, options.port);
                auto started = Clock::now();
                if (socket && sendAll(socket.fd(), "\x16\x03\x01 not a request at all\r\n\r\n")) {
                    report.malformedStatuses.push_back(readStatus(socket.fd(), std::chrono::seconds(10)));
                    report.malformedWorst = std::max(report.malformedWorst, millisecondsSince(started));
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }

    void checkExactlyOnce(const LoadOptions& options, const std::vector<std::string>& answered, LoadReport& report)
    {
        httplib::Client http(options.host, options.port);
        http.set_read_timeout(60);
        // The dump holds every row of sms.db (the panels only the newest).
        auto dump = http.Post("/api/step", R"({"step": "dump"})", "application/json");
        if (!dump || dump->status != 200) {
            report.problems.push_back("the phone could not be dumped after the run");
            report.lost = answered.size();
            return;
        }
        auto parsed = nlohmann::json::parse(dump->body, nullptr, false);
        std::map<std::string, int> seen;
        std::string prefix = options.tag + " ";
        if (!parsed.is_discarded()) {
            for (const auto& message : parsed["output"]["messages"]) {
                if (message.contains("text") && message["text"].is_string() && message["text"].get<std::string>().starts_with(prefix))
                    ++seen[message["text"].get<std::string>()];
            }
        }
        for (const auto& text : answered) {
            auto found = seen.find(text);
            if (found == seen.end())
                ++report.lost;
        }
        for (const auto& [text, count] : seen) {
            if (count > 1)
                report.duplicated += static_cast<uint64_t>(count - 1);
        }
    }

} // namespace

LoadReport runLoad(const LoadOptions& options)
{
    LoadReport report;
    Shared shared { options, Clock::now() + options.duration, {}, {}, {}, {}, {}, {}, {} };
    auto started = Clock::now();

    std::vector<std::thread> threads;
    LoadReport slowReport, hostileReport;
    threads.emplace_back([&] { holdSlowConnections(shared, slowReport); });
    // Let the slow connections take their places before the pages come.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int client = 0; client < options.clients; ++client) {
        threads.emplace_back([&shared] { readEvents(shared); });
        threads.emplace_back([&shared, client] { postSteps(shared, client); });
    }
    threads.emplace_back([&] { sendHostileRequests(shared, hostileReport); });

    if (options.serverPid > 0) {
        auto warmUp = started + options.duration / 4;
        while (Clock::now() < shared.deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!report.residentAfterWarmUp && Clock::now() >= warmUp)
                report.residentAfterWarmUp = residentKiB(options.serverPid);
        }
        report.residentAtEnd = residentKiB(options.serverPid);
    }
    for (auto& thread : threads)
        thread.join();

    report.seconds = millisecondsSince(started) / 1000;
    report.stepsAnswered = shared.latencies.size();
    report.stepsRefused = shared.refused;
    report.stepsPerSecond = static_cast<double>(report.stepsAnswered) / report.seconds;
    std::sort(shared.latencies.begin(), shared.latencies.end());
    report.p50 = percentile(shared.latencies, 50);
    report.p99 = percentile(shared.latencies, 99);
    report.worst = shared.latencies.empty() ? 0 : shared.latencies.back();
    report.events = shared.events;
    report.streamsRefused = shared.streamsRefused;
    report.slowOpened = slowReport.slowOpened;
    report.slowClosedByServer = slowReport.slowClosedByServer;
    report.oversizedWorst = hostileReport.oversizedWorst;
    report.oversizedStatuses = hostileReport.oversizedStatuses;
    report.malformedWorst = hostileReport.malformedWorst;
    report.malformedStatuses = hostileReport.malformedStatuses;
    report.problems = shared.problems;
    checkExactlyOnce(options, shared.answered, report);
    return report;
}

std::string describe(const LoadReport& report)
{
    auto statuses = [](const std::vector<int>& list) {
        std::map<int, int> counted;
        for (int status : list)
            ++counted[status];
        std::string text;
        for (auto [status, count] : counted)
            text += (text.empty() ? "" : ", ") + std::to_string(count) + "×" + std::to_string(status);
        return text.empty() ? std::string("none sent") : text;
    };
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(1);
    out << report.stepsAnswered << " steps in " << report.seconds << " s: " << report.stepsPerSecond << " steps/s, p50 " << report.p50
        << " ms, p99 " << report.p99 << " ms, worst " << report.worst << " ms\n";
    out << report.stepsRefused << " steps not answered 200; " << report.lost << " lost, " << report.duplicated << " run twice\n";
    out << report.events << " events read; " << report.streamsRefused << " event streams refused\n";
    out << report.slowOpened << " slow connections opened, " << report.slowClosedByServer << " closed by the server\n";
    out << "oversized bodies: " << statuses(report.oversizedStatuses) << ", slowest " << report.oversizedWorst << " ms; not HTTP: "
        << statuses(report.malformedStatuses) << ", slowest " << report.malformedWorst << " ms\n";
    if (report.residentAtEnd)
        out << "server resident memory: " << report.residentAfterWarmUp / 1024.0 << " MiB after a quarter of the run, " << report.residentAtEnd / 1024.0 << " MiB at the end\n";
    for (const auto& problem : report.problems)
        out << "problem: " << problem << "\n";
    return out.str();
}

} // namespace serveload
