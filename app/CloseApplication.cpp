#include "CloseApplication.h"

#include <QApplication>
#include <QWidget>

bool CloseApplication()
{
    QApplication::closeAllWindows();
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (const QWidget* window : windows) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && type != Qt::ToolTip && type != Qt::Popup)
            return false;
    }
    QCoreApplication::quit();
    return true;
}
