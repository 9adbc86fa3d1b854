#pragma once

#include "channelsettings.h"

// Settings that differ from the simulated controller's factory settings in every part of
// every channel, so that a channel that kept its old values is always found out.
Koru::ChannelSettings changedChannelSettings();
