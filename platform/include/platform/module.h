// Loading a shared library and binding its functions by name.
#pragma once

// Tries the name as given, then "lib<name>.so" and "<name>.so" (a ".dll" ending is dropped).
void* plat_module_load(const char* name);
void* plat_module_symbol(void* module, const char* symbol);
void plat_module_free(void* module);
