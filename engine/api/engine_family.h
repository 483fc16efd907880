// The engine family's export table: the name each export's guards print and its value when refused.
#pragma once
#include "api/export_guards.h"

// The row of an engine export of this table (every export named here has one).
const api_export_row& engine_row_of(const char* export_name);
