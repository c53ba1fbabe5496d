#include "program_folder_resources.h"

#include <windows.h>

#include "resource_ids.h"
#include "run_program.h"

namespace {

// One image of an icon group, as the resource compiler stores it.
#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bits;
  DWORD size;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved;
  WORD type;
  WORD count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

const void* resource_bytes(HMODULE module, const char* name, const char* type, DWORD* size) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return nullptr;
  *size = SizeofResource(module, found);
  return LockResource(LoadResource(module, found));
}

}  // namespace

ProgramResources program_resources(const char* program) {
  ProgramResources resources;
  const std::string path = (program_folder() / program).string();
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return resources;
  DWORD size = 0;
  const auto* group = static_cast<const GroupIconHeader*>(
      resource_bytes(module, MAKEINTRESOURCEA(IDI_APP_ICON), MAKEINTRESOURCEA(14), &size));  // RT_GROUP_ICON
  if (group != nullptr && group->count == 1) {
    resources.icon_width = group->entries[0].width == 0 ? 256 : group->entries[0].width;
    resources.icon_height = group->entries[0].height == 0 ? 256 : group->entries[0].height;
    resources.icon_bits = group->entries[0].bits;
  }
  const auto* manifest =
      static_cast<const char*>(resource_bytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size));
  if (manifest != nullptr) resources.manifest.assign(manifest, size);
  resources.loaded = true;
  FreeLibrary(module);
  return resources;
}
