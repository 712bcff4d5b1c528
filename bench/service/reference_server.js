// The benchmark's reference: the same picture request answered with the npm package qrcode.
// Usage: node reference_server.js PORT
'use strict';
const http = require('http');
const QRCode = require('qrcode');

const port = Number(process.argv[2] || 48152);

http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    if (url.pathname === '/healthz') {
        response.writeHead(200, {'Content-Type': 'text/plain'});
        response.end('ok\n');
        return;
    }
    if (url.pathname !== '/api.php') {
        response.writeHead(404, {'Content-Type': 'text/plain'});
        response.end('not found\n');
        return;
    }
    const query = url.searchParams;
    const options = {
        type: 'png',
        width: Number(query.get('w') || 200),
        margin: Number(query.get('m') || 2),
        errorCorrectionLevel: query.get('el') || 'H',
        color: {
            dark: '#' + (query.get('fg') || '000000') + 'ff',
            light: '#' + (query.get('bg') || 'ffffff') + 'ff',
        },
    };
    QRCode.toBuffer(query.get('text') || '', options, (error, png) => {
        if (error) {
            response.writeHead(400, {'Content-Type': 'text/plain'});
            response.end(String(error.message) + '\n');
            return;
        }
        response.writeHead(200, {'Content-Type': 'image/png', 'Content-Length': png.length});
        response.end(png);
    });
}).listen(port, '127.0.0.1');
