#pragma once
// A started program over a temporary port settings store and scripted modal
// boxes.

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "ui/Program.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <memory>

class ProgramTest : public ::testing::Test {
protected:
    TempDir dir;
    QString settingsFile = QString::fromStdString(dir.File("DovavIriduze.ini").string());
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;

    void StartUp() {
        program = std::make_unique<Program>(dialogs, settingsFile);
        program->StartUp();
    }
    TfrmMain& Main() { return *program->frmMain; }

    template <class Widget>
    Widget& Child(QWidget& window, const char* name) {
        Widget* child = window.findChild<Widget*>(QString::fromUtf8(name));
        if (!child) throw std::runtime_error(std::string("no control ") + name);
        return *child;
    }
    template <class Widget>
    Widget& Child(const char* name) { return Child<Widget>(Main(), name); }

    void StoreSetting(const QString& name, const QVariant& value) {
        QSettings(settingsFile, QSettings::IniFormat).setValue("Software/Tanvel/DovavIriduze/" + name, value);
    }
    QVariant StoredSetting(const QString& name) {
        return QSettings(settingsFile, QSettings::IniFormat).value("Software/Tanvel/DovavIriduze/" + name);
    }
};
