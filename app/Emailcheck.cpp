#include "Emailcheck.h"

bool IsValidEmail(const std::string& Text) {
    // Positions below count from 0: the '@' may not be the first character, and the '.' must have
    // a character between it and the '@' and stand before the final character.
    const size_t N = Text.size();
    if (N < 2) return false;
    const size_t At = Text.find_last_of('@');
    if (At == std::string::npos || At == 0) return false;
    if (At + 2 > N - 2) return false;
    const size_t Dot = Text.find_last_of('.', N - 2);
    if (Dot == std::string::npos || Dot < At + 2) return false;
    return Dot + 1 <= N - 2;
}
