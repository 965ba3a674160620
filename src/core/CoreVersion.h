#pragma once

// The project version the core library was built with, "major.minor.patch".
const char* CoreVersion();
