#pragma once

// Registers the compiled-in images (":/images/..."). Safe to call repeatedly.
void kxInitResources();
