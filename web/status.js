// The line under the phone: the last step's outcome, or why a key went
// nowhere. `state` is "ok", "error" or "idle" (a remark, not a failure).

export function report(state, text) {
    const status = document.querySelector('#step-status');
    status.dataset.state = state;
    status.textContent = text;
}
