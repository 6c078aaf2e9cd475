#include "ui/window/main_window.h"

#include "ui/menus/calculator_commands.h"
#include "ui/window/content_view.h"

#include <QMenuBar>

namespace tw {

MainWindow::MainWindow(AppModel& app, QWidget* parent)
    : QMainWindow(parent), commands_(new CalculatorCommands(app, menuBar())),
      content_(new ContentView(app, *commands_, this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    content_->setMinimumFloor(minimumContentSize);
    setCentralWidget(content_);
    const int menuHeight = menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height();
    resize(defaultContentSize.width(), defaultContentSize.height() + menuHeight);
}

} // namespace tw
