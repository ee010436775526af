#pragma once

// Makes the icons and pictures compiled into the program available; call once at start.
void InitResources();
