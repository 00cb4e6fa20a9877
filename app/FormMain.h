#pragma once

#include <QMainWindow>

namespace talivo {

// The counting workspace's main window.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
};

} // namespace talivo
