#pragma once

#include "calibration/CalibrationHost.h"
#include "calibration/CalibrationRecipe.h"

#include <QString>

#include <cstdint>
#include <string>

namespace quell {

class CalibrationStation;
class DeviceLink;

// What the calibration runs and the tests share to talk to the board in its calibrator: one
// awaited transaction on one entry, clearing every reference, waiting for a fresh swap cycle and
// measuring one point until two readings agree. Each step queues a request on the link and waits
// for its outcome while the windows keep running; nothing here touches a widget. GUI thread.
class BoardPrimitives {
public:
    // Primitives over a station (its link, panel, points and Stop flag), not owned.
    explicit BoardPrimitives(CalibrationStation& station);

    // Writes a text to an entry (write) or reads it, sending the request up to three times while
    // the board refuses it. False at once when the link does not take the request, when the
    // answer does not come in time, or when the link stops meanwhile (which also asks the running
    // procedure to stop).
    bool TransactEntry(std::uint16_t entry, bool write, const std::string& text = {});
    // The raw value the last successful transaction brought back.
    std::int16_t answeredValue() const { return answered_; }
    // Writes "0" to the eight reference selectors in order; false at the first failure.
    bool DeselectAllPoints();
    // Reads the swap state: 2 only after it was seen at 0 and then at 2 (start from 255);
    // previous when the read fails.
    int PollMeasureStatus(int previous);
    // Measures the point of a recipe row until two readings agree within StableDelta: the
    // constant of step column is the first reference, step point is switched in and read.
    // Without force, a step without a constant fails at once. The result and the readings go
    // into the station's point record (point 1..8).
    bool MeasurePoint(int row, bool force, int column, int point);
    // Starts a procedure: false while another one runs (calibration or test); else the panel
    // locks its controls and the progress starts from nothing.
    bool BeginProcedure();
    // Ends the procedure: the panel frees its controls, the progress shows the end.
    void EndProcedure();
    // Opens the channel procedure of a button (Tag 1..11): the stability step for the chosen
    // method, the header line ProcName + " - " + ChannelName, the progress on that channel.
    // Returns the channel's name.
    QString beginChannel(int tag);
    // Paints the eight boxes of a row in the button face.
    void ResetPointColors(int row);

    // The raw value of an entry as the table holds it.
    std::int16_t entryValue(std::uint16_t entry) const;
    // True once the swap state could not be read several times in a row: the board is silent
    // and a wait for a swap cycle gives up.
    bool swapSilent() const { return swapReadFailures_ >= kSilentSwapReads; }
    // Counts a point finished, passed or failed, for the progress shown.
    void pointFinished(bool passed);
    // Reports the progress as it stands now.
    void showProgress();
    // What the panel shows; the runs fill in the channel and the plan.
    RunProgress& progress() { return progress_; }

    CalibrationStation& station() { return station_; }

    // Failed reads of the swap state in a row after which a wait for a cycle gives up.
    static constexpr int kSilentSwapReads = 3;

private:
    // Whether the link is started but without a connection; the run is then abandoned (and the
    // log says why, once).
    bool linkBroken();

    CalibrationStation& station_;
    std::int16_t answered_ = 0;
    int swapReadFailures_ = 0;
    RunProgress progress_;
};

// A name of the recipe tables as text.
QString recipeText(std::string_view text);
// Text of a raw calibration reading as the constant entry takes it: one tenth, one decimal.
std::string constantText(std::int16_t raw);
// (old - new) * 100 / old, an old of 0 counting as 1.
double deviationPercent(std::int16_t& old, std::int16_t now);

} // namespace quell
