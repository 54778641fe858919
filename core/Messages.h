#pragma once
// User texts from the numbered message table, the central error reporter with its log file, and
// the progress display of long operations.

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pf {

// Entry number + TextOffset; each placeholder replaced by its value; the two characters "\n"
// become a line break (CR LF). A missing entry gives "".
std::string LoadText(long number,
                     std::initializer_list<std::pair<std::string_view, std::string_view>> pairs = {});

// An error as the reporter needs it. EngineDescriptions holds the engine's error collection.
struct ErrorInfo
{
    long Number = 0;
    std::string Description;
    std::string Source;
    std::vector<std::string> EngineDescriptions;
};

// Standard description of a run-time or engine error number ("" when unknown).
std::string StandardErrorDescription(long number);
// The description an error is reported with: the engine's descriptions joined with ", " for engine
// errors (3000 to 3998) that carry them, else its own, else the standard one of its number.
std::string ErrorDescriptionFor(const ErrorInfo& error);
// Path of the error log: TEMP folder + "Pfannola.LOG".
std::string ErrorLogPath();
// The log line for an error (without line end); the date/time text is passed in for testability.
std::string FormatErrorLogLine(const ErrorInfo& error, const std::string& dateTime,
                               const std::string& windowName, bool mainWindowLoaded,
                               const std::string& statusText);
// Appends the error's log line only, for callers that tell the user in their own words (the
// command-line program); returns the log's path.
std::string LogError(const ErrorInfo& error);
// Logs the error, clears the status display and shows the standard message; with offerClose the
// user may close the active window.
void ReportError(const ErrorInfo& error, bool offerClose);

// Status display of long operations: on the splash while it is visible, else text and percentage
// in the main window (capped at 100), processing window events at most once per second.
// ShowProgress(-1, -1, "") clears it.
void ShowProgress(long maximum, long value, const std::string& text);
// A status text without a percentage: on the splash while it is visible, else in the main window.
void ShowStatus(const std::string& text);
// A critical message with the program's caption.
void InformCritical(const std::string& text);

// The clock ShowProgress spaces event processing with; an empty function restores the steady
// clock. Setting it also forgets when events were last processed (tests use both).
using ProgressClock = std::function<std::chrono::steady_clock::time_point()>;
void SetProgressClock(ProgressClock clock);

} // namespace pf
