#pragma once

// The parameter window's value cells as the database transfers see them, over the real table of
// the VRQ-PB description (so texts are converted as the program converts them), for tests that
// run without the main window.

#include "client/LinkController.h"
#include "client/ParameterWindow.h"

#include <QDir>
#include <QString>

#include <map>

namespace quell::testsupport {

class ParameterCells : public ParameterWindow {
public:
    // Cells over the example VRQ-PB table; the settings file lives in folder.
    explicit ParameterCells(const QString& folder)
        : settingsFile_(QDir(folder).filePath(QStringLiteral("station.cli"))), workDir_(folder)
    {
        link.editTable(
            [](TProtocol& table) { table.LoadFromFile(QUELL_EXAMPLES_DIR "/vrq-pb.var"); });
    }

    const QString& SettingsFileName() const override { return settingsFile_; }
    const QString& WorkDir() const override { return workDir_; }
    bool Started() const override { return false; }
    void MStartStopClick() override {}
    void MClearClick() override { cells.clear(); }
    void SelectRow(std::uint16_t) override {}
    QString cellText(std::uint16_t entry) const override
    {
        const auto it = cells.find(entry);
        return it == cells.end() ? QString() : it->second;
    }
    void setCellText(std::uint16_t entry, const QString& text) override { cells[entry] = text; }
    void ShowViewState(bool) override {}

    LinkController link;
    std::map<std::uint16_t, QString> cells;

private:
    QString settingsFile_;
    QString workDir_;
};

} // namespace quell::testsupport
