#pragma once
// The in-memory form of one feed, whatever its format: a channel
// (TRSSChannel) and its entries (TRSSItems of TRSSItem). The parsers fill it;
// the windows read each entry's Title, Link and Description. The model does
// no input or output of its own.

#include "feed/ContentType.h"
#include "feed/Languages.h"
#include "feed/RFC822DateTime.h"
#include "feed/RSSChannel.h"
#include "feed/RSSItem.h"
#include "feed/SimpleRSSException.h"
#include "feed/iTunesExtra.h"
