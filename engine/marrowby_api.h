// marrowby_api.h - marks what the engine library exports to the program and
// the plug-ins (everything else is hidden).
#pragma once

#define MARROWBY_API __attribute__((visibility("default")))
