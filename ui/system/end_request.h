// The desktop's request that the program end (SIGTERM at a log-out, SIGHUP
// when its terminal goes), turned into a call on the main thread: a signal
// handler may do almost nothing, certainly not write the settings.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ui {

class EndRequestWatch : public QObject {
    Q_OBJECT
public:
    // `onEnd` gets the signal's number. One watch at a time.
    explicit EndRequestWatch(std::function<void(int)> onEnd, QObject* parent = nullptr);
    ~EndRequestWatch() override;

private:
    std::function<void(int)> onEnd_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace ui
