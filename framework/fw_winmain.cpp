// Process entry: hands over to the one application object.
#include "framework/fw_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
    return RunApplication(instance, showCmd);
}
