// The library's own calls: version, errors, times, and the diagnostics
// every other part hands out.
#include <string>

#include "cadmora.h"
#include "handles.h"
#include "time_text.h"

namespace {

thread_local std::string last_error;

}  // namespace

int fail(int code, std::string message) {
  try {
    last_error = std::move(message);
  } catch (...) {
    last_error.clear();
  }
  return code;
}

extern "C" {

const char* cadmora_version(void) { return CADMORA_VERSION; }

const char* cadmora_last_error(void) { return last_error.c_str(); }

int cadmora_parse_time(const char* text, double* ns) {
  return guarded([&]() -> int {
    require(text != nullptr && ns != nullptr, "the time text and the result must not be NULL");
    switch (parse_time_ns(text, *ns)) {
      case TimeReading::Read:
        return CADMORA_OK;
      case TimeReading::OutOfRange:
        return fail(CADMORA_ERROR_ARGUMENT, "'" + std::string(text) + "' is out of range");
      case TimeReading::Malformed:
        break;
    }
    return fail(CADMORA_ERROR_ARGUMENT,
                "'" + std::string(text) + "' is not a time: digits, then one of the units " + time_unit_list());
  });
}

int cadmora_diagnostics_count(const cadmora_diagnostics* diagnostics, size_t* count) {
  return guarded([&]() -> int {
    require(diagnostics != nullptr && count != nullptr, "the diagnostics and the count must not be NULL");
    *count = diagnostics->records.size();
    return CADMORA_OK;
  });
}

int cadmora_diagnostics_get(const cadmora_diagnostics* diagnostics, size_t index, cadmora_diagnostic* record) {
  return guarded([&]() -> int {
    require(diagnostics != nullptr && record != nullptr, "the diagnostics and the record must not be NULL");
    require(index < diagnostics->records.size(), "the index is past the last record");
    const Diagnostic& d = diagnostics->records[index];
    record->severity = severity_name(d.severity).data();
    record->category = category_name(d.category).data();
    record->file = d.file.c_str();
    record->line = d.line;
    record->first_column = d.first_column;
    record->last_column = d.last_column;
    record->message = d.message.c_str();
    record->suggestion = d.suggestion.c_str();
    return CADMORA_OK;
  });
}

int cadmora_diagnostics_text(const cadmora_diagnostics* diagnostics, const char** text) {
  return guarded([&]() -> int {
    require(diagnostics != nullptr && text != nullptr, "the diagnostics and the text must not be NULL");
    *text = diagnostics->text.c_str();
    return CADMORA_OK;
  });
}

void cadmora_diagnostics_free(cadmora_diagnostics* diagnostics) { delete diagnostics; }

}
