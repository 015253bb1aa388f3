// Program entry: start-up, the message loop and shutdown.
#include "Base.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"VornaStampShifter", L"VornaStampShifter", MB_OK);
  return 0;
}
