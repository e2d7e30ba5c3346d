#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class QFile;

namespace quell {

// The run log of the calibration station: the lines the procedures report during a run, saved
// at the end as Log/VRQCalib_<board>_<YYYYMMDD_hhmmss>.log. So that a run that crashes keeps
// its lines, each line is also appended and flushed to a journal in the same folder at once; the
// normal end writes the final file and removes the journal, and the next start renames a journal
// left behind to VRQCalib_unfinished_<its start stamp>.log. GUI thread only.
class RunLog {
public:
    // A log whose files go into logFolder (created when missing).
    explicit RunLog(QString logFolder);
    ~RunLog();

    // Recovers journals of earlier runs, opens this run's journal and adds the start line, then
    // one line per recovered run naming the file that holds its lines.
    void start(const QDateTime& now);
    // Adds a procedure's line when "Log Active" is on; true when it was added.
    bool AddLogLine(const QString& line);
    // Switches "Log Active" and records the switch either way.
    void setActive(bool active, const QDateTime& now);
    // Whether "Log Active" is on (it is at start).
    bool active() const { return active_; }
    // The lines of this run so far.
    const QStringList& lines() const { return lines_; }

    // Adds the end line and writes lines (the memo's text, which the operator may have edited;
    // the log's own lines when empty) with the end line to the final file, replacing one of the
    // same name; then removes the journal. False with the reason in errorText().
    bool finish(int boardNumber, const QDateTime& now, QStringList lines = {});
    // The file finish() wrote (empty before, or when it failed).
    const QString& savedPath() const { return savedPath_; }
    // Why the last file operation failed.
    const QString& errorText() const { return errorText_; }
    // The folder of the log files.
    const QString& folder() const { return folder_; }
    // The journal of this run (empty before start).
    QString journalPath() const;

    // The final file name of a run of a board saved at a time.
    static QString fileName(int boardNumber, const QDateTime& savedAt);
    // YYYYMMDD_hhmmss of a local time.
    static QString timeStampText(const QDateTime& time);

private:
    void append(const QString& line);
    // Renames journals left behind by runs that did not finish; returns where their lines are.
    QStringList recoverJournals();

    QString folder_;
    QStringList lines_;
    bool active_ = true;
    std::unique_ptr<QFile> journal_;
    QString errorText_;
    QString savedPath_;
};

} // namespace quell
