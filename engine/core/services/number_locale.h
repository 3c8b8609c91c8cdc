// Number locale of the platform: the decimal separator that number texts show and that
// typed numbers may use. The platform learns it at start-up (by printing 1.1 under the
// program's locale); "." until then.
#pragma once

char DecimalSeparator();
