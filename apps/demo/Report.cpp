#include "Report.h"

#include <cstdio>
#include <fstream>

#include <tavixTGCL2/platform/HtmlDocument.h>

namespace tavixTGCL2::demo {

namespace {

std::string esc(const std::string& s) { return html::escape(s); }

// Picture names come from the runner, but a name is still text put into
// an attribute: anything outside a plain file name is encoded.
std::string attributeUrl(const std::string& name) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.')
            out += static_cast<char>(c);
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool writeFile(const std::filesystem::path& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        error = path.string() + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace

std::string reportHtml(const Report& report) {
    std::string h;
    h += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + esc(report.title) + "</title>\n";
    h += "<style>\n"
         "body { font-family: sans-serif; margin: 16px 24px; background: #f4f6fa; color: #1a1a1a; }\n"
         "h1 { font-size: 20px; } .summary { margin-bottom: 20px; }\n"
         ".step { background: #fff; border: 1px solid #c8d3e6; border-radius: 4px; padding: 10px 14px; margin: 0 0 18px 0; }\n"
         ".step h2 { font-size: 15px; margin: 0 0 4px 0; } .note { margin: 0 0 8px 0; color: #333; }\n"
         ".step img { display: block; margin: 6px 0; border: 1px solid #888; max-width: 100%; }\n"
         "pre { background: #f0f3f8; padding: 6px 8px; margin: 6px 0 0 0; font-size: 12px; white-space: pre-wrap; }\n"
         ".problem { color: #b00000; font-weight: bold; } .cost { color: #777; font-size: 11px; margin: 0; }\n"
         ".scales { display: grid; grid-template-columns: repeat(auto-fit, minmax(300px, 1fr)); gap: 10px; }\n"
         ".scales figure { margin: 0; } .scales img { width: 100%; height: auto; }\n"
         ".scales figcaption { font-size: 12px; color: #555; }\n"
         "</style></head><body>\n";
    h += "<h1>" + esc(report.title) + "</h1>\n";
    h += "<p class=\"summary\">" + esc(report.summary) + "</p>\n";
    for (const ReportStep& s : report.steps) {
        h += "<div class=\"step\"><h2>" + esc(s.title) + "</h2>\n";
        if (!s.note.empty()) h += "<p class=\"note\">" + esc(s.note) + "</p>\n";
        if (!s.problem.empty()) h += "<p class=\"problem\">" + esc(s.problem) + "</p>\n";
        char cost[96];
        std::snprintf(cost, sizeof cost, "<p class=\"cost\">%.0f ms, picture %.0f ms</p>\n", s.actMs, s.pictureMs);
        h += cost;
        for (const std::string& p : s.pictures) {
            bool paired = false;
            for (const ScaleRun& other : report.otherScales) paired = paired || other.pictures.count(p);
            if (!paired) {
                h += "<img src=\"" + attributeUrl(p) + "\" alt=\"" + esc(p) + "\">\n";
                continue;
            }
            // Side by side at the same displayed width: zoomed in, the
            // other scale shows its extra pixels.
            h += "<div class=\"scales\"><figure><a href=\"" + attributeUrl(p) + "\"><img src=\"" + attributeUrl(p) +
                 "\" alt=\"" + esc(p) + "\"></a><figcaption>" + esc(report.scaleLabel) + "</figcaption></figure>";
            for (const ScaleRun& other : report.otherScales) {
                if (!other.pictures.count(p)) continue;
                const std::string src = attributeUrl(other.folder) + "/" + attributeUrl(p);
                h += "<figure><a href=\"" + src + "\"><img src=\"" + src + "\" alt=\"" + esc(other.label + " " + p) +
                     "\"></a><figcaption>" + esc(other.label) + "</figcaption></figure>";
            }
            h += "</div>\n";
        }
        h += "<pre>";
        if (s.events.empty()) h += "(no events)";
        for (std::size_t i = 0; i < s.events.size(); ++i) h += (i ? "\n" : "") + esc(s.events[i]);
        h += "</pre></div>\n";
    }
    h += "</body></html>\n";
    return h;
}

bool writeReport(const Report& report, const std::filesystem::path& dir, std::string& error) {
    std::string log;
    for (const ReportStep& s : report.steps) {
        log += "== " + s.title + (s.note.empty() ? "" : ": " + s.note) + "\n";
        if (!s.problem.empty()) log += "!! " + s.problem + "\n";
        for (const std::string& e : s.events) log += e + "\n";
    }
    return writeFile(dir / "events.log", log, error) && writeFile(dir / "index.html", reportHtml(report), error);
}

}  // namespace tavixTGCL2::demo
