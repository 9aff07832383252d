#pragma once

#define IDI_KESTSETUP 101
