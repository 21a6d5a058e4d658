# Nothing special: the warning runs out and the machine goes down.
expect_end="powered off"
expect_lines=("VL: veltrane: power-off requested")
forbid_lines=("would not be allowed" "power-off refused")
as_root() { :; }
as_user() { veltrane_run --in 0:00:05; }
