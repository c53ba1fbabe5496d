#include "diagnostic_output.h"

#include <algorithm>
#include <cstdio>

#include "cadmora_version.h"

namespace {

// Carriage returns other than those of CR LF line ends shown as \r, so that
// one quoted from a source never moves a terminal's cursor.
std::string escaped(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    if (c == '\r') shown += "\\r";
    else shown += c;
  }
  return shown;
}

// The line under a quoted source line: a caret at the first column and
// tildes under the rest of the word. The source's tabs are kept, so that
// the marks land under their columns however a terminal sets its tabs, and
// a carriage return takes the two columns of its \r.
std::string underline(std::string_view line, unsigned first, unsigned last) {
  std::string marks;
  for (unsigned column = 1; column <= last; ++column) {
    const char c = column <= line.size() ? line[column - 1] : ' ';
    const std::size_t width = c == '\r' ? 2 : 1;
    if (column < first) marks.append(width, c == '\t' ? '\t' : ' ');
    else marks.append(width, column == first ? '^' : '~');
    if (column == first && width == 2) marks.back() = '~';
  }
  return marks;
}

std::string json_string(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
          quoted += code;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

// A file name as a URI: an absolute one as a file URI (file:///C:/... for a
// drive), a relative one as a relative reference; forward slashes, and
// every other byte but the unreserved ones percent-encoded.
std::string file_uri(std::string_view file) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri;
  const bool drive = file.size() >= 2 && file[1] == ':' &&
                     ((file[0] >= 'A' && file[0] <= 'Z') || (file[0] >= 'a' && file[0] <= 'z'));
  if (drive) {
    uri = "file:///" + std::string(file.substr(0, 2));
    file.remove_prefix(2);
  } else if (!file.empty() && (file[0] == '/' || file[0] == '\\')) {
    uri = "file://";
  }
  for (const char c : file) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '/') uri += '/';
    else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
             c == '_' || c == '~')
      uri += c;
    else
      uri.append({'%', kHex[byte >> 4], kHex[byte & 15]});
  }
  return uri;
}

std::string message_with_suggestion(const Diagnostic& d) {
  return d.suggestion.empty() ? d.message : d.message + "; did you mean " + d.suggestion + "?";
}

std::size_t rule_index(Category category) {
  std::size_t index = 0;
  while (kCategories[index].category != category) ++index;
  return index;
}

}  // namespace

bool read_warning_switch(std::string_view text, WarningSwitches& switches) {
  constexpr std::string_view kNo = "no-";
  constexpr std::string_view kError = "error";
  Category category{};
  if (text == kError) {
    switches.all_errors = true;
    return true;
  }
  if (text.substr(0, kError.size() + 1) == "error=") {
    if (!category_named(text.substr(kError.size() + 1), category)) return false;
    switches.errors.insert(category);
    return true;
  }
  const bool off = text.substr(0, kNo.size()) == kNo;
  if (!category_named(off ? text.substr(kNo.size()) : text, category)) return false;
  if (off) switches.off.insert(category);
  else switches.off.erase(category);
  return true;
}

DiagnosticWriter::DiagnosticWriter(std::string file, const WarningSwitches& switches, DiagnosticsFormat format,
                                   std::ostream& out)
    : file_(std::move(file)), switches_(switches), format_(format), out_(out) {
  if (format_ == DiagnosticsFormat::Json) out_ << "[";
  if (format_ != DiagnosticsFormat::Sarif) return;
  out_ << "{\"$schema\":\"https://json.schemastore.org/sarif-2.1.0.json\",\"version\":\"2.1.0\",\"runs\":[{"
          "\"tool\":{\"driver\":{\"name\":\"cdmsim\",\"version\":\"" CADMORA_VERSION "\",\"rules\":[";
  for (const CategoryInfo& info : kCategories)
    out_ << (&info == kCategories ? "" : ",") << "\n{\"id\":" << json_string(info.name)
         << ",\"shortDescription\":{\"text\":" << json_string(info.description) << "}}";
  out_ << "]}},\"columnKind\":\"unicodeCodePoints\",\"results\":[";
}

void DiagnosticWriter::set_source(std::string text, std::vector<std::string> labels) {
  text_ = std::move(text);
  labels_ = std::move(labels);
  lines_.reset();
}

void DiagnosticWriter::add(Diagnostic d) {
  if (d.severity == Severity::Warning) {
    if (switches_.off.count(d.category) > 0) return;
    if (switches_.all_errors || switches_.errors.count(d.category) > 0) {
      d.severity = Severity::Error;
      ++ranked_errors_;
    }
  }
  errors_ += d.severity == Severity::Error;
  warnings_ += d.severity == Severity::Warning;
  d.file = file_;
  if (d.line > 0 && lines_ == nullptr) lines_ = std::make_unique<SourceLines>(text_);
  const std::string_view line = d.line > 0 ? lines_->line(d.line) : std::string_view();
  if (d.line > 0) place_in_line(d, line, labels_);
  if (records_ != nullptr) records_->push_back(d);
  switch (format_) {
    case DiagnosticsFormat::Text:
      write_text(d, line);
      break;
    case DiagnosticsFormat::Json:
      write_json(d);
      break;
    case DiagnosticsFormat::Sarif:
      write_sarif(d);
      break;
  }
}

void DiagnosticWriter::write_text(const Diagnostic& d, std::string_view line) {
  if (d.severity == Severity::Error && errors_ > kErrorsShown) {
    ++hidden_errors_;
    return;
  }
  if (!d.file.empty()) out_ << d.file << ":";
  if (d.line > 0) out_ << d.line << ":" << d.first_column << ":";
  if (!d.file.empty() || d.line > 0) out_ << " ";
  out_ << severity_name(d.severity) << ": " << escaped(message_with_suggestion(d)) << " ["
       << category_name(d.category) << "]\n";
  if (d.line == 0) return;
  out_ << escaped(line) << "\n" << underline(line, d.first_column, std::max(d.first_column, d.last_column)) << "\n";
}

void DiagnosticWriter::write_json(const Diagnostic& d) {
  out_ << (written_++ == 0 ? "\n" : ",\n") << "{\"severity\":" << json_string(severity_name(d.severity))
       << ",\"category\":" << json_string(category_name(d.category)) << ",\"file\":" << json_string(d.file)
       << ",\"line\":" << d.line << ",\"first_column\":" << d.first_column << ",\"last_column\":" << d.last_column
       << ",\"message\":" << json_string(d.message) << ",\"suggestion\":" << json_string(d.suggestion) << "}";
}

void DiagnosticWriter::write_sarif(const Diagnostic& d) {
  out_ << (written_++ == 0 ? "\n" : ",\n") << "{\"ruleId\":" << json_string(category_name(d.category))
       << ",\"ruleIndex\":" << rule_index(d.category) << ",\"level\":" << json_string(severity_name(d.severity))
       << ",\"message\":{\"text\":" << json_string(message_with_suggestion(d)) << "}";
  if (!d.file.empty()) {
    out_ << ",\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":" << json_string(file_uri(d.file))
         << "}";
    if (d.line > 0)
      out_ << ",\"region\":{\"startLine\":" << d.line << ",\"startColumn\":" << d.first_column
           << ",\"endColumn\":" << std::max(d.first_column, d.last_column) + 1 << "}";
    out_ << "}}]";
  }
  out_ << "}";
}

void DiagnosticWriter::finish() {
  switch (format_) {
    case DiagnosticsFormat::Text:
      if (hidden_errors_ > 0)
        out_ << "cdmsim: " << hidden_errors_ << (hidden_errors_ == 1 ? " more error" : " more errors")
             << " not shown\n";
      break;
    case DiagnosticsFormat::Json:
      out_ << "\n]\n";
      break;
    case DiagnosticsFormat::Sarif:
      out_ << "\n]}]}\n";
      break;
  }
}
