// Talking to plv-sim serve: steps posted one after another in the order the
// person took them, the server's pushed state, and the lists the side panel
// offers. Whoever wants to know what was sent (the recorder) listens with
// onStep, and hears each step with the server's answer and the time it went.

export function createTransport({ report }) {
    let queue = Promise.resolve();
    let pending = 0;
    const listeners = [];

    async function post(step) {
        const sentAt = performance.now();
        try {
            const response = await fetch('/api/step', {
                method: 'POST',
                headers: { 'Content-Type': 'application/json' },
                body: JSON.stringify(step),
            });
            const answer = await response.json().catch(() => ({ ok: false, error: `HTTP ${response.status}` }));
            if (!response.ok || !answer.ok) {
                answer.ok = false;
                report('error', `${step.step}: ${answer.error || 'refused'}`);
            } else {
                report('ok', `${step.step}: done`);
            }
            return { answer, sentAt };
        } catch (error) {
            report('error', `${step.step}: the server did not answer (${error.message})`);
            return { answer: { ok: false, error: error.message }, sentAt };
        }
    }

    return {
        // Steps not yet answered.
        get pending() {
            return pending;
        },

        // Sends a step after those sent before it; answers the server's answer.
        send(step) {
            pending += 1;
            const sent = queue.then(async () => {
                try {
                    const { answer, sentAt } = await post(step);
                    for (const listener of listeners) listener(step, answer, sentAt);
                    return answer;
                } finally {
                    pending -= 1;
                }
            });
            queue = sent;
            return sent;
        },

        onStep(listener) {
            listeners.push(listener);
        },

        // A list from the server; `fallback` when it cannot be had.
        async list(url, fallback = []) {
            const response = await fetch(url);
            return response.ok ? response.json() : fallback;
        },

        // The server's pushed state: `screen` and `panels` receive
        // {generation, state}; `connected` whether the stream is up.
        subscribe({ screen, panels, connected }) {
            const events = new EventSource('/api/events');
            events.addEventListener('screen', (event) => screen(JSON.parse(event.data)));
            events.addEventListener('panels', (event) => panels(JSON.parse(event.data)));
            events.addEventListener('open', () => connected(true));
            events.addEventListener('error', () => connected(false));
            return events;
        },
    };
}
