#pragma once
// What a scripted run leaves for a person to look through: a folder with a
// picture per step, the whole event log (events.log) and index.html, which
// shows the pictures in order with the step's note and the events it
// caused under each.
#include <filesystem>
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

struct Report {
    std::string title;
    std::string summary;
    std::vector<ReportStep> steps;
};

// Writes index.html and events.log into dir. False with a message when a
// file could not be written.
bool writeReport(const Report& report, const std::filesystem::path& dir, std::string& error);

std::string reportHtml(const Report& report);

}  // namespace tavixTGCL2::demo
