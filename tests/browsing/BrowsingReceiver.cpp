#include "BrowsingReceiver.h"
