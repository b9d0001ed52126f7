// Holds a file open as another program would (an editor, an indexer, a virus scanner): for
// reading, sharing reads only, so that no other program may replace, rename or remove it. It
// takes the file and makes the file SIGNAL.held, keeps it until a run has begun on it (its
// temporary file appears beside it) and the milliseconds given more have passed, and lets go,
// making the file SIGNAL.released. Usage: file_holder FILE MILLISECONDS SIGNAL
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

bool MakeFile(const std::wstring& path) {
  const HANDLE made = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  return made != INVALID_HANDLE_VALUE && CloseHandle(made) != 0;
}

// True once a file named "." + the file's name + ".tablemend-" and more stands beside it.
bool RunHasBegun(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::size_t name = slash == std::wstring::npos ? 0 : slash + 1;
  const std::wstring pattern = path.substr(0, name) + L"." + path.substr(name) + L".tablemend-*";
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return false;
  }
  FindClose(search);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    return 2;
  }
  const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const std::wstring signal = argv[3];
  if (file == INVALID_HANDLE_VALUE || !MakeFile(signal + L".held")) {
    return 1;
  }
  for (int waited = 0; !RunHasBegun(argv[1]); waited += 5) {
    if (waited > 60000) {
      return 1;
    }
    Sleep(5);
  }
  Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  CloseHandle(file);
  return MakeFile(signal + L".released") ? 0 : 1;
}
