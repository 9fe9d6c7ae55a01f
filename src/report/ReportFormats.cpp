#include "report/ReportFormats.h"

#include <algorithm>
#include <array>

#include "platform/FileReplace.h"
#include "platform/Utf8Paths.h"
#include "report/HtmlReport.h"
#include "report/JsonReport.h"
#include "report/PdfReport.h"
#include "text/Text.h"

namespace fc::report {

namespace {

bool WriteWhole(const std::filesystem::path& file, const std::string& bytes, std::string& error) {
  const platform::WriteResult written = platform::WriteFile(file, bytes, {});
  if (!written) error = platform::WriteFailureText(file, written);
  return static_cast<bool>(written);
}

bool WriteHtml(const ReportData& data, const std::filesystem::path& file, std::string& error) {
  return WriteWhole(file, HtmlReport(data), error);
}

bool WriteJson(const ReportData& data, const std::filesystem::path& file, std::string& error) {
  return WriteWhole(file, JsonReport(data), error);
}

constexpr std::array<ReportFormat, 4> kFormats = {{
    {".html", "网页文件", WriteHtml},
    {".htm", nullptr, WriteHtml},
    {".pdf", "PDF文件", WritePdfReport},
    {".json", "JSON文件", WriteJson},
}};

}  // namespace

std::span<const ReportFormat> ReportFormats() { return kFormats; }

const ReportFormat* FormatOf(const std::filesystem::path& file) {
  const std::string ending = text::ToLower(platform::Utf8Of(file.extension()));
  auto format = std::find_if(kFormats.begin(), kFormats.end(), [&](const ReportFormat& f) { return ending == f.ending; });
  return format == kFormats.end() ? nullptr : &*format;
}

}  // namespace fc::report
