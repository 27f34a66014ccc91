// Everything the program imports from its runtime.
#pragma once

#include "runtime/application.hpp"
#include "runtime/console_windows.hpp"
#include "runtime/control.hpp"
#include "runtime/database.hpp"
#include "runtime/date.hpp"
#include "runtime/dialogs.hpp"
#include "runtime/error.hpp"
#include "runtime/files.hpp"
#include "runtime/object.hpp"
#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/settings.hpp"
#include "runtime/shell.hpp"
#include "runtime/text.hpp"
#include "runtime/value.hpp"
