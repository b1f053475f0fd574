// The check of e-mail addresses that the submit and tell forms make.
#pragma once

#include <string>

// Something before the last '@', something between it and a later '.', and two characters after
// the last '.' that stands before the final character.
bool IsValidEmail(const std::string& Text);
