// The checked reader lives with the platform, which reads the settings file through
// it too; the application's files keep including it from here.
#pragma once

#include "platform/file_checks.h"
