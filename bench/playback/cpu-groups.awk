# Sums per-thread CPU ticks over the measuring window (seconds, 10 unless
# given with -v seconds=N) into groups, in % of one core.
# Input lines: name ticks_before ticks_after (or name ticks for a new thread).
{
    d = (NF == 3) ? $3 - $2 : $2
    if ($1 == "zavrio-screensa")
        g = "GUI thread (Qt, window, mpv drawing calls)"
    else if ($1 ~ /^llvmpipe/)
        g = "software OpenGL (llvmpipe)"
    else if ($1 ~ /^(mpv|vo|ao|demux|dec|ffmpeg|av:|lavf|cache|stream|pw-|pulse|ALSA)/)
        g = "mpv playback threads"
    else
        g = "other threads (" $1 ")"
    sum[g] += d
    total += d
}
END {
    if (!seconds)
        seconds = 10
    for (g in sum)
        printf "  %-50s %5.1f %%\n", g, 100 * sum[g] / hz / seconds
    printf "  %-50s %5.1f %%\n", "whole process", 100 * total / hz / seconds
}
