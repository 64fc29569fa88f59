#pragma once
// What a scripted run leaves for a person to look through: a folder with a
// picture per step, the whole event log (events.log) and index.html, which
// shows the pictures in order with the step's note and the events it
// caused under each.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tavixTGCL2::demo {

struct ReportStep {
    std::string title;   // "3. F9"
    std::string note;    // from the script
    std::vector<std::string> pictures;  // file names inside the folder
    std::vector<std::string> events;
    std::string problem;  // why the step could not be done; empty when it was
    double actMs = 0;      // doing the step, waits included
    double pictureMs = 0;  // taking and writing its pictures
};

// The same script run at another scale factor, in a folder inside the
// report's: its pictures are shown beside this run's of the same name.
struct ScaleRun {
    std::string label;   // "2x"
    std::string folder;  // relative to the report's folder
    std::set<std::string> pictures;  // the names present in the folder
};

struct Report {
    std::string title;
    std::string summary;
    std::string scaleLabel = "1x";  // this run's scale, named in the columns
    std::vector<ReportStep> steps;
    std::vector<ScaleRun> otherScales;
};

// Writes index.html and events.log into dir. False with a message when a
// file could not be written.
bool writeReport(const Report& report, const std::filesystem::path& dir, std::string& error);

std::string reportHtml(const Report& report);

}  // namespace tavixTGCL2::demo
