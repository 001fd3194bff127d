#include <windows.h>

#include "app/shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const int exitCode = StartProgram();
  ShutDownProgram();
  return exitCode;
}
