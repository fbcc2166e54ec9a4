#include "card/module1.h"

orvane::CardPlacement Module1::CardPlacement;
bool Module1::NeedsRedraw = false;
