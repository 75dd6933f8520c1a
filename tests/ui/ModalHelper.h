#pragma once
// Acts on a modal window from inside its modal loop: the action runs once the
// window is shown, and should close it (or act on a window it opens, by
// another WhenModal).

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

inline void WhenModal(std::function<void(QWidget&)> action, int triesLeft = 200) {
    QTimer::singleShot(10, [action = std::move(action), triesLeft]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (triesLeft > 0) WhenModal(std::move(action), triesLeft - 1);
            else ADD_FAILURE() << "no modal window was shown";
            return;
        }
        action(*modal);
    });
}
