#include "app/link_job_runner.h"

#include "usblink/usb_hid_transport.h"
#include "usblink/usb_log.h"

#include <QTimer>

#include <cmath>
#include <set>
#include <pthread.h>

namespace tw {

struct LinkJobRunner::Shared {
    struct Job {
        ErasedWork work;
        std::function<void(std::function<void()>)> post; // the delivery, to the main thread
        std::chrono::steady_clock::time_point watchdog;
    };

    TransportFactory transports;
    LinkClock* clock = nullptr;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> queue;
    int unfinished = 0; // queued or running
    bool stopping = false;
    bool alive = true; // the runner exists: deliveries may be posted
    std::multiset<std::chrono::steady_clock::time_point> watchdogs; // of the unfinished jobs

    void loop() {
        pthread_setname_np(pthread_self(), "Tarnwick usb");
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stopping || !queue.empty(); });
                if (stopping) return;
                job = std::move(queue.front());
                queue.pop_front();
            }
            runOne(job);
            {
                std::lock_guard lock(mutex);
                --unfinished;
                watchdogs.erase(watchdogs.find(job.watchdog));
            }
            changed.notify_all();
        }
    }

    void runOne(Job& job) {
        Delivery delivery;
        {
            // The transport and the link live only as long as the work.
            CalculatorLink link(transports(), *clock);
            delivery = job.work(link);
        }
        if (delivery.error) {
            try {
                std::rethrow_exception(delivery.error);
            } catch (const std::exception& error) {
                usbLogFailed(error);
            } catch (...) {
                usbLogFailed(std::runtime_error("unknown error"));
            }
        } else {
            usbLogDone();
        }
        // Posted under the lock, so that the runner cannot go away in between.
        std::lock_guard lock(mutex);
        if (alive) job.post(std::move(delivery.deliver));
    }
};

LinkJobRunner::LinkJobRunner(MainThreadExecutor main, TransportFactory transports, LinkClock* clock)
    : main_(std::move(main)), shared_(std::make_shared<Shared>()), clock_(clock ? clock : &LinkClock::system()),
      timers_(std::make_unique<QObject>()) {
    shared_->transports = transports
                              ? std::move(transports)
                              : TransportFactory([] { return std::make_shared<USBHIDTransport>(); });
    shared_->clock = clock_;
    worker_ = std::thread([shared = shared_] { shared->loop(); });
}

LinkJobRunner::~LinkJobRunner() {
    bool idle;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->alive = false;
        shared_->stopping = true;
        shared_->unfinished -= int(shared_->queue.size());
        for (const auto& job : shared_->queue) shared_->watchdogs.erase(shared_->watchdogs.find(job.watchdog));
        shared_->queue.clear();
        idle = shared_->unfinished == 0;
    }
    shared_->changed.notify_all();
    // A job still talking to the calculator keeps the shared state alive by itself.
    if (idle)
        worker_.join();
    else
        worker_.detach();
}

void LinkJobRunner::setStatus(std::optional<std::string> status) {
    status_ = std::move(status);
    if (statusChanged) statusChanged(status_);
}

void LinkJobRunner::start(const std::string& title, double timeoutSeconds, ErasedWork work,
                          std::function<void()> onWatchdog) {
    const int ticket = ++ticket_;
    setStatus(title);
    usbLogSessionHeader(title);

    const std::weak_ptr<int> life = life_;
    auto post = [this, main = main_, life, ticket](std::function<void()> deliver) {
        main([this, life, ticket, deliver = std::move(deliver)] {
            // Only the newest job, and only before its watchdog, reaches the user.
            if (life.expired() || ticket_ != ticket) return;
            setStatus(std::nullopt);
            deliver();
        });
    };
    const auto timeout = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(timeoutSeconds));
    {
        const auto watchdog = std::chrono::steady_clock::now() + timeout;
        std::lock_guard lock(shared_->mutex);
        shared_->queue.push_back({std::move(work), std::move(post), watchdog});
        ++shared_->unfinished;
        shared_->watchdogs.insert(watchdog);
    }
    shared_->changed.notify_all();

    QTimer::singleShot(std::chrono::milliseconds(std::llround(timeoutSeconds * 1000)), timers_.get(),
                       [this, ticket, timeoutSeconds, onWatchdog = std::move(onWatchdog)] {
                           if (ticket_ != ticket || !status_) return; // delivered, or a newer job
                           ++ticket_; // the job's own result, should it still come, is dropped
                           setStatus(std::nullopt);
                           usbLogWatchdog(timeoutSeconds);
                           onWatchdog();
                       });
}

bool LinkJobRunner::waitUntilIdle(std::optional<std::chrono::steady_clock::time_point> until) {
    std::unique_lock lock(shared_->mutex);
    if (shared_->unfinished == 0) return true;
    // The last watchdog of the jobs still queued or running.
    const auto deadline = until.value_or(*shared_->watchdogs.rbegin());
    return shared_->changed.wait_until(lock, deadline, [&] { return shared_->unfinished == 0; });
}

} // namespace tw
