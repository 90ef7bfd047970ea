// Reads the pixels of an 8-bit RGB or RGBA PNG without interlacing, as
// Chromium's screenshots are: { width, height, pixel(x, y) -> [r, g, b] }.
import { inflateSync } from 'node:zlib';

export function decodePng(buffer) {
    let offset = 8, width = 0, height = 0, channels = 0;
    const idat = [];
    while (offset < buffer.length) {
        const length = buffer.readUInt32BE(offset);
        const type = buffer.toString('ascii', offset + 4, offset + 8);
        const data = buffer.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = data.readUInt32BE(0);
            height = data.readUInt32BE(4);
            const [depth, colour, , , interlace] = data.subarray(8);
            if (depth !== 8 || interlace !== 0 || (colour !== 2 && colour !== 6)) {
                throw new Error(`unsupported PNG: depth ${depth}, colour ${colour}, interlace ${interlace}`);
            }
            channels = colour === 6 ? 4 : 3;
        } else if (type === 'IDAT') {
            idat.push(data);
        }
        offset += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(idat));
    const stride = width * channels;
    const pixels = Buffer.alloc(height * stride);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        for (let i = 0; i < stride; i++) {
            const x = raw[y * (stride + 1) + 1 + i];
            const a = i >= channels ? pixels[y * stride + i - channels] : 0;
            const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
            const c = i >= channels && y > 0 ? pixels[(y - 1) * stride + i - channels] : 0;
            const paeth = () => {
                const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
                return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            };
            const predictor = [0, a, b, (a + b) >> 1, filter === 4 ? paeth() : 0][filter];
            pixels[y * stride + i] = (x + predictor) & 0xff;
        }
    }
    return {
        width,
        height,
        pixel: (x, y) => [...pixels.subarray(y * stride + x * channels, y * stride + x * channels + 3)],
    };
}
