// The loss shown for a hop, from its sent and received counts (platform-free).
#pragma once

// 100 - received * 100 / sent (truncating) once anything was received; 100 when echoes
// were sent and none came back; 0 before any echo.
int LossPercent(int sent, int received);
