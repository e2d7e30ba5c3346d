#pragma once

#include "client/Dialogs.h"

#include <QList>
#include <QStringList>

#include <utility>
#include <vector>

namespace quell {

// Dialogs for tests: remembers every message and answers file dialogs from a prepared list.
class RecordingDialogs : public Dialogs {
public:
    RecordingDialogs() { Dialogs::use(this); }
    ~RecordingDialogs() override { Dialogs::use(nullptr); }

    void message(Kind kind, const QString& text, QWidget*, QPoint at) override
    {
        messages.emplace_back(kind, text);
        positions.push_back(at);
    }
    bool question(const QString& text, QWidget*, QPoint at) override
    {
        questions << text;
        positions.push_back(at);
        return questionAnswers.isEmpty() || questionAnswers.takeFirst();
    }
    QString openFileName(const FileRequest& request, QWidget*) override
    {
        requests.push_back(request);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QString saveFileName(const FileRequest& request, QWidget* parent) override
    {
        return openFileName(request, parent);
    }

    // The texts of all messages so far.
    QStringList texts() const
    {
        QStringList all;
        for (const auto& m : messages)
            all << m.second;
        return all;
    }

    std::vector<std::pair<Kind, QString>> messages;
    std::vector<QPoint> positions;
    std::vector<FileRequest> requests;
    QStringList fileAnswers; // taken one per file dialog; empty means Cancel
    QStringList questions;
    QList<bool> questionAnswers; // taken one per question; Yes when none is left
};

} // namespace quell
