// The live panels beside the phone: the Messages database, the mail outbox,
// the end of each extension's log and the preferences files, as the phone
// keeps them.

function cell(text) {
    const td = document.createElement('td');
    td.textContent = text;
    return td;
}

// The server sends the newest rows only; `count` is how many sms.db holds.
function drawMessages(messages, count = messages.length) {
    const body = document.querySelector('#messages-table tbody');
    const rows = [...messages].reverse().map((message) => {
        const row = document.createElement('tr');
        row.dataset.rowid = message.ROWID;
        row.className = `${message.outgoing ? 'outgoing' : 'incoming'}${message.read ? '' : ' unread'}`;
        row.append(cell(message.ROWID), cell(message.address), cell(message.text), cell(message.kind), cell(message.outgoing ? 'sent' : message.read ? 'received' : 'unread'));
        return row;
    });
    body.replaceChildren(...rows);
    document.querySelector('#messages-count').textContent = count > messages.length ? `(newest ${messages.length} of ${count})` : `(${count})`;
}

function drawOutbox(outbox) {
    const list = document.querySelector('#outbox-list');
    list.replaceChildren(
        ...outbox.map((mail) => {
            const item = document.createElement('article');
            item.className = 'mail';
            const head = document.createElement('header');
            head.textContent = `${mail.subject || '(no subject)'} — to ${(mail.to || []).join(', ')}`;
            const body = document.createElement('pre');
            body.textContent = mail.body || '';
            item.append(head, body);
            for (const attachment of mail.attachments || []) {
                const line = document.createElement('div');
                line.className = 'attachment';
                line.textContent = `📎 ${attachment.fileName} (${attachment.mimeType}, ${attachment.size} bytes)`;
                item.append(line);
            }
            return item;
        }),
    );
    document.querySelector('#outbox-count').textContent = `(${outbox.length})`;
}

function fileBlock(path, text) {
    const block = document.createElement('figure');
    block.className = 'file';
    block.dataset.path = path;
    const caption = document.createElement('figcaption');
    caption.textContent = path;
    const pre = document.createElement('pre');
    pre.textContent = text === null ? '(not there yet)' : text;
    if (text === null) pre.classList.add('missing');
    block.append(caption, pre);
    return block;
}

function drawFiles(files) {
    const logs = [];
    const preferences = [];
    for (const [path, text] of Object.entries(files)) {
        if (path.endsWith('.log')) logs.push(fileBlock(path, text));
        else preferences.push(fileBlock(path, text));
    }
    document.querySelector('#log-files').replaceChildren(...logs);
    document.querySelector('#preference-files').replaceChildren(...preferences);
    // A log is read from its end.
    for (const pre of document.querySelectorAll('#log-files pre')) pre.scrollTop = pre.scrollHeight;
}

export function drawPanels(panels) {
    drawMessages(panels.messages || [], panels.messageCount);
    drawOutbox(panels.outbox || []);
    drawFiles(panels.files || {});
}
